#include "device/Uploads.h"

#include <algorithm>

#include "device/FeatureCommands.h"
#include "device/MacroSlots.h"
#include "device/OutputCommands.h"
#include "keys/KeyFunction.h"
#include "store/DataStore.h"

namespace keystead::device {
namespace {

constexpr int kMacroEventDown = 2;
constexpr int kMacroEventUp = 3;
constexpr int kLightingProfile = 1;

// The key-down and key-up events of a macro, in record_index order, as slot events.
std::vector<SlotEvent> MacroSlotEvents(DataStore& store, int macroId)
{
    std::vector<MacroRecordData> records;
    store.GetMacroEvents(macroId, records);
    std::vector<SlotEvent> events;
    for (const MacroRecordData& r : records) {
        if (r.type != kMacroEventDown && r.type != kMacroEventUp)
            continue;
        events.push_back({static_cast<std::uint8_t>(VirtualKeyToCode(r.value) & 0xFF), r.type == kMacroEventUp,
            r.delay_time});
    }
    return events;
}

std::optional<int> PlayTimes(DataStore& store, int macroId)
{
    int playTimes = 0;
    if (!store.GetMacroPlayTimes(macroId, playTimes))
        return std::nullopt;
    return playTimes;
}

bool CurrentLight(DataStore& store, const UploadSession& s, LightData& light)
{
    const int mode = s.lightMode != 0 ? s.lightMode : store.GetActiveLightMode(kLightingProfile);
    return store.GetLight(kLightingProfile, mode, light);
}

// A family-B macro-slot transfer: 28 feature reports, each after the 16 ms feature pause.
void SendMacroSlotB(DeviceLink& link, const MacroSlotPayload& payload)
{
    for (int chunk = 0; chunk < kMacroSlotChunks && link.IsUsable(); ++chunk)
        link.SendFeature(BuildMacroSlotChunk(payload, chunk));
}

// Function slot from the key's stored assignment: freed without one or with a value below 1.
void SetFunctionSlot(DeviceLink& link, DataStore& store, const UploadSession& s, int slot, int keyCode)
{
    KeyMacroData key;
    if (!store.GetKeyAssignment(s.profile, s.layer, keyCode, key) || key.macro_value < 1)
        link.SendFeature(BuildFunctionSlot(slot, 0, 0));
    else
        link.SendFeature(BuildFunctionSlot(slot, keyCode, key.macro_value & 0xFF));
}

} // namespace

Family FamilyOf(int deviceType)
{
    if (deviceType <= 200)
        return Family::A;
    if (deviceType <= 299)
        return Family::B;
    return Family::None;
}

LightingParams LightingFrom(const LightData& light, int option)
{
    return LightingParams{light.mode, light.brightness, light.speed, light.direction, light.colorful,
        light.colorindex, static_cast<std::uint32_t>(light.color_value), light.config_func, option};
}

void UploadKeyMapOutput(DeviceLink& link, DataStore& store, const UploadSession& s, KeyToSlotMap& keyToSlot)
{
    platform::Clock& clock = link.Clock();
    keyToSlot.clear();
    std::vector<KeyMacroData> rows;
    store.GetLayerAssignments(s.profile, s.layer, rows);

    // 1. Macro slots, then shortcut slots; the first failed chunk ends both.
    int slot = 0;
    bool failed = false;
    for (const KeyMacroData& row : rows) {
        if (row.macro_type != KeyKind::Macro)
            continue;
        const std::vector<SlotEvent> events = MacroSlotEvents(store, row.macro_value);
        const auto chunks = BuildMacroSlotChunksA(slot, PlayTimes(store, row.macro_value), events);
        if (!link.IsUsable())
            return;
        clock.SleepMs(10);
        for (const OutputReport& chunk : chunks) {
            clock.SleepMs(100);
            if (!link.WriteReport(chunk)) {
                failed = true;
                break;
            }
        }
        if (failed)
            break;
        keyToSlot[row.key_code] = slot++;
    }
    for (const KeyMacroData& row : rows) {
        if (failed)
            break;
        if (row.macro_type != KeyKind::Shortcut)
            continue;
        if (!link.IsUsable())
            return;
        clock.SleepMs(10);
        link.WriteReport(BuildShortcutSlotA(slot, SystemShortcut(row.macro_value)));
        keyToSlot[row.key_code] = slot++;
    }

    // 2. and 3. The key map, whatever became of the slots.
    if (!link.IsUsable())
        return;
    clock.SleepMs(20);
    std::vector<KeyMapEntry> entries;
    for (const KeyMacroData& row : rows)
        entries.push_back({row.key_code, row.macro_type, row.macro_value});
    for (const OutputReport& chunk : BuildKeyMapChunks(BuildKeyMap(entries, s.keyPositions, keyToSlot))) {
        if (!link.IsUsable())
            return;
        clock.SleepMs(10);
        link.WriteReport(chunk);
    }
}

void UploadKeySlots(DeviceLink& link, DataStore& store, const UploadSession& s)
{
    platform::Clock& clock = link.Clock();
    SlotTable table{};
    link.ReadSlotTable(table);
    for (int slot = 1; slot <= kMacroSlotCount; ++slot) {
        if (MacroSlotKey(table, slot) == 0)
            continue;
        if (!link.IsUsable())
            return;
        clock.SleepMs(16);
        SendMacroSlotB(link, BuildFreedSlotPayloadB(slot));
    }
    for (int slot = 1; slot <= kFunctionSlotCount; ++slot) {
        if (FunctionSlotKey(table, slot) == 0)
            continue;
        if (!link.IsUsable())
            return;
        clock.SleepMs(16);
        link.SendFeature(BuildFunctionSlot(slot, 0, 0));
    }

    std::vector<KeyMacroData> rows;
    store.GetLayerAssignments(s.profile, s.layer, rows);
    int macroSlot = 1;
    int functionSlot = 1;
    for (const KeyMacroData& row : rows) {
        if (row.macro_type == KeyKind::Default)
            continue;
        if (!link.IsUsable())
            return;
        clock.SleepMs(16);
        if (row.macro_type == KeyKind::Macro) {
            const int playTimes = PlayTimes(store, row.macro_value).value_or(1);
            const std::vector<SlotEvent> events = MacroSlotEvents(store, row.macro_value);
            SendMacroSlotB(link, BuildMacroPayloadB(macroSlot++, row.key_code, playTimes, events));
        } else if (row.macro_type == KeyKind::Shortcut) {
            SendMacroSlotB(link, BuildShortcutPayloadB(macroSlot++, row.key_code, SystemShortcut(row.macro_value)));
        } else {
            SetFunctionSlot(link, store, s, functionSlot++, row.key_code);
        }
    }
}

void UploadLightingOutput(DeviceLink& link, DataStore& store, const UploadSession& s, std::atomic<bool>& paramsSent)
{
    LightData light;
    if (!CurrentLight(store, s, light))
        return;
    if (!paramsSent.exchange(true)) {
        link.WriteReport(BuildLightingModeOutput(light.mode));
    } else {
        link.WriteReport(BuildLightingParamsOutput(LightingFrom(light, s.lightOption)));
    }
}

void UploadLightingFeature(DeviceLink& link, DataStore& store, const UploadSession& s)
{
    LightData light;
    if (!CurrentLight(store, s, light))
        return;
    const LightingParams params = LightingFrom(light, s.lightOption);
    if (s.connectionMode == 0)
        link.SendFeature(BuildLightingFeature(params));
    else
        link.WriteFramedReport(BuildFramedLighting(params));
}

void UploadCustomColours(DeviceLink& link, DataStore& store, const UploadSession& s)
{
    std::vector<KeyLightData> rows;
    store.GetKeyLights(DataStore::kCustomLightId, rows);
    std::vector<KeyColour> colours;
    for (const KeyLightData& row : rows)
        colours.push_back({row.key_code, static_cast<std::uint32_t>(row.key_rgb)});
    for (const OutputReport& chunk : BuildCustomColourChunks(BuildCustomColourTable(colours, s.keyPositions))) {
        if (!link.IsUsable())
            return;
        link.Clock().SleepMs(1);
        if (!link.WriteReport(chunk))
            return;
    }
}

bool ResetKeyboard(DeviceLink& link, const UploadSession& s)
{
    platform::Clock& clock = link.Clock();
    switch (FamilyOf(s.deviceType)) {
    case Family::A:
        link.WriteReport(BuildFactoryResetOutput());
        clock.SleepMs(100);
        return true;
    case Family::B:
        if (s.connectionMode == 0) {
            link.SendFeature(BuildFactoryResetFeature());
            clock.SleepMs(100);
        } else {
            link.WriteFramedReport(BuildFramedResetPart1());
            if (link.IsUsable()) {
                clock.SleepMs(1600);
                link.WriteFramedReport(BuildFramedResetPart2());
            }
        }
        return true;
    case Family::None:
        break;
    }
    return false;
}

void StreamColours(DeviceLink& link, const UploadSession& s, const std::vector<KeyColour>& colours)
{
    if (s.connectionMode != 0)
        return;
    const bool lit = std::any_of(colours.begin(), colours.end(), [](const KeyColour& k) { return k.colour >= 2; });
    if (!lit)
        return;
    if (!link.StreamStarted() && link.WriteReport(BuildStreamStart()))
        link.MarkStreamStarted();
    for (const OutputReport& chunk : BuildColourStreamChunks(BuildColourStreamTable(colours, s.keyPositions))) {
        if (!link.IsUsable())
            return;
        link.Clock().SleepMs(1);
        link.WriteStreamReport(chunk);
    }
}

void SelectCustomLighting(DeviceLink& link, DataStore& store, int mode, int option)
{
    LightData light;
    if (!store.GetLight(kLightingProfile, mode, light))
        return;
    link.SendFeature(BuildCustomLightingSelect(light.mode, light.brightness, light.speed, option));
}

bool SendMusicLevel(DeviceLink& link, int effect, int colourNumber, double amplitude, double gain)
{
    return link.SendFeatureNow(BuildMusicLevel(effect, colourNumber, MusicLevel(amplitude, gain)));
}

int ReadKeyboardFirmware(DeviceLink& link)
{
    int version = -1;
    if (!link.ReadFirmwareVersion(version))
        return -1;
    return version;
}

} // namespace keystead::device
