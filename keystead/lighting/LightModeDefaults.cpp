#include "lighting/LightModeDefaults.h"

#include "devicedesc/DeviceConfig.h"
#include "shell/Language.h"
#include "store/DataStore.h"

namespace {
constexpr int kMusicLayerNameText = 101;
constexpr int kRainbowScheme = 17;  // rainbow around the centre
constexpr int kWhiteScheme = 1;
} // namespace

bool EnsureLightModes(DataStore& store, const DeviceLayout& layout)
{
    if (store.CountLights(kLightProfile) != 0)
        return false;
    for (const LightModeEntry& e : layout.lightModes) {
        LightData row;
        row.profile = kLightProfile;
        row.name = e.name;
        row.mode = e.mode;
        row.brightness = layout.defaultBrightness;
        row.speed = layout.defaultSpeed;
        row.direction = 0;
        row.colorful = 1;
        row.colorindex = 0;
        row.color_value = 255;
        row.config_func = e.configFunc;
        row.reserved = 0;
        row.status = 0;
        store.AddLight(row);
    }
    store.SetActiveLight(kLightProfile, layout.defaultMode);
    return true;
}

bool EnsureMusicLayer(DataStore& store, bool rgbKeyboard)
{
    if (store.CountMusicLayers() != 0)
        return false;
    store.AddMusicLayer(GetLanguageText(kMusicLayerNameText), rgbKeyboard ? kRainbowScheme : kWhiteScheme);
    store.SelectMusicLayer();
    return true;
}
