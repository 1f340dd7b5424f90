#pragma once
#include <atomic>
#include <vector>

#include "device/DeviceLink.h"
#include "device/KeyTables.h"
#include "device/LightingParams.h"

class DataStore;
struct LightData;

// The sequences that push the store's key assignments, lighting and custom colours to the
// keyboard, the factory reset, and the two commands sent outside the worker. Every pause is
// the link's clock; every sequence ends early, without further pauses, once the keyboard has
// left the system.
namespace keystead::device {

enum class Family { A, B, None };
// Up to 200 family A (output reports), 201 to 299 family B (feature reports), else none.
Family FamilyOf(int deviceType);

// What a sequence sees of the main window's state when it runs.
struct UploadSession {
    int profile = 1;
    int layer = 0;
    int deviceType = 0;
    int connectionMode = 0;
    KeyIndexMap keyPositions;
    int lightMode = 0;   // the lighting page's current mode; 0: the store's active mode
    int lightOption = 0; // selection of the lighting page's option list
};

// Family A: macro and shortcut slots (the map records key code -> slot), then the key map.
void UploadKeyMapOutput(DeviceLink& link, DataStore& store, const UploadSession& s, KeyToSlotMap& keyToSlot);
// Family B: frees every occupied slot the keyboard reports, then fills slots in list order.
void UploadKeySlots(DeviceLink& link, DataStore& store, const UploadSession& s);
// Family A: 0x88 when `paramsSent` is clear (and sets it), else 0x89.
void UploadLightingOutput(DeviceLink& link, DataStore& store, const UploadSession& s, std::atomic<bool>& paramsSent);
// Family B: feature 0xF7 in connection mode 0, the framed command in modes 1 and 2.
void UploadLightingFeature(DeviceLink& link, DataStore& store, const UploadSession& s);
void UploadCustomColours(DeviceLink& link, DataStore& store, const UploadSession& s);
// False when the model takes no reset (type 300 and up); the caller then reloads nothing.
bool ResetKeyboard(DeviceLink& link, const UploadSession& s);
// The keyboard picture's colours to the stream interface (connection mode 0 only, and only
// when some colour value is 2 or more); the start report goes out once per program run.
void StreamColours(DeviceLink& link, const UploadSession& s, const std::vector<KeyColour>& colours);

// The lighting page's selection of a custom colour set (family A, user-interface thread).
void SelectCustomLighting(DeviceLink& link, DataStore& store, int mode, int option);
// One music level report (audio thread): level = min(255, amplitude * gain).
bool SendMusicLevel(DeviceLink& link, int effect, int colourNumber, double amplitude, double gain);
// The keyboard's firmware version, -1 when the query fails.
int ReadKeyboardFirmware(DeviceLink& link);

LightingParams LightingFrom(const ::LightData& light, int option);

} // namespace keystead::device
