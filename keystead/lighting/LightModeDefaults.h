#pragma once

class DataStore;
struct DeviceLayout;

// The lighting rows a model's database starts with. Lighting exists once per model (profile 1);
// rows are made once, so a changed layout file takes effect only for a new database.

constexpr int kLightProfile = 1;

// When profile 1 has no lighting row: one row per lighting mode of the layout, and the layout's
// default mode made active. True when rows were added.
bool EnsureLightModes(DataStore& store, const DeviceLayout& layout);

// When there is no music layer: layer 1 with the defaults (bars in full colour on a full-RGB
// keyboard, white otherwise), marked selected. True when it was added.
bool EnsureMusicLayer(DataStore& store, bool rgbKeyboard);
