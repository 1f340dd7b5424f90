#include "device/FeatureCommands.h"

#include <algorithm>
#include <cmath>

namespace keystead::device {
namespace {

FeatureReport Feature(std::uint8_t command, std::array<std::uint8_t, 6> params = {})
{
    FeatureReport r{};
    r[0] = kFeatureReportId;
    r[1] = command;
    std::copy(params.begin(), params.end(), r.begin() + 2);
    return r;
}

std::uint8_t Byte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t ColourByte(std::uint32_t colour, int index)
{
    return static_cast<std::uint8_t>((colour >> (8 * index)) & 0xFF);
}

} // namespace

std::uint8_t ReduceLevel(int value)
{
    return value == 0 ? 0 : Byte(value - 1);
}

FeatureReport BuildReadSlotTable()
{
    return Feature(feature::kReadSlotTable, {0x01, 0, 0, 0, 0, 0});
}

FeatureReport BuildSlotTableGet()
{
    return Feature(feature::kReadSlotTable, {0x01, 0, 0, 0, 0, 0});
}

FeatureReport BuildFunctionSlot(int slot, int keyCode, int value)
{
    return Feature(feature::kFunctionSlot, {0x01, Byte(slot), Byte(keyCode), 0x01, Byte(value), 0x01});
}

FeatureReport BuildMacroSlotChunk(const MacroSlotPayload& payload, int index)
{
    index = std::clamp(index, 0, kMacroSlotChunks - 1);
    std::array<std::uint8_t, 6> part{};
    std::copy_n(payload.begin() + 6 * index, 6, part.begin());
    return Feature(index == 0 ? feature::kMacroChunkFirst : feature::kMacroChunkNext, part);
}

FeatureReport BuildLightingFeature(const LightingParams& light)
{
    const std::uint8_t option =
        (light.configFunc & kConfigFuncCustomColours) ? Byte(light.option) : std::uint8_t{0};
    FeatureReport r = Feature(feature::kLightingMode,
        {Byte(light.mode - 1), Byte(light.colorIndex), Byte(light.direction), ReduceLevel(light.speed),
            ReduceLevel(light.brightness), option});
    if (light.mode == 4) {
        // Single colour: the colour takes the direction, speed and option places.
        r[4] = ColourByte(light.colorValue, 0);
        r[5] = ColourByte(light.colorValue, 1);
        r[7] = ColourByte(light.colorValue, 2);
    } else if (light.mode == 9) {
        r[5] = Byte(light.speed);
    }
    return r;
}

FeatureReport BuildFactoryResetFeature()
{
    return Feature(feature::kFactoryReset, {0xAA, 0, 0, 0, 0, 0});
}

FeatureReport BuildMusicLevel(int effect, int colourNumber, int level)
{
    return Feature(feature::kMusicLevel, {0x45, 0x67, 0x89, Byte(effect), Byte(colourNumber), Byte(level)});
}

int MusicLevel(double amplitude, double gain)
{
    const double value = amplitude * gain;
    if (!(value > 0.0)) // also catches NaN
        return 0;
    return value >= 255.0 ? 255 : static_cast<int>(value);
}

FeatureReport BuildReadFirmware()
{
    return Feature(feature::kReadFirmware);
}

FeatureReport BuildFirmwareGet()
{
    return BuildReadFirmware();
}

FeatureReport BuildCustomLightingSelect(int mode, int brightness, int speed, int option)
{
    return Feature(feature::kCustomLighting, {0xFF, Byte(mode - 1), Byte(brightness), Byte(speed), 0x00, Byte(option)});
}

void MergeSlotTableReply(SlotTable& table, int getIndex, std::span<const std::uint8_t> reply)
{
    if (getIndex < 0 || getIndex >= 4 || reply.size() < 2)
        return;
    const std::size_t count = std::min<std::size_t>(7, reply.size() - 1);
    std::copy_n(reply.begin() + 1, count, table.begin() + 7 * getIndex);
}

int MacroSlotKey(const SlotTable& table, int slot)
{
    return (slot >= 1 && slot <= kMacroSlotCount) ? table[slot] : 0;
}

int FunctionSlotKey(const SlotTable& table, int slot)
{
    return (slot >= 1 && slot <= kFunctionSlotCount) ? table[kMacroSlotCount + slot] : 0;
}

std::optional<int> ParseFirmwareVersion(std::span<const std::uint8_t> reply)
{
    if (reply.size() < 3)
        return std::nullopt;
    return reply[1] * 256 + reply[2];
}

} // namespace keystead::device
