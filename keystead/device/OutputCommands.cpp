#include "device/OutputCommands.h"

#include <algorithm>

#include "device/FeatureCommands.h"

namespace keystead::device {
namespace {

OutputReport Output(std::uint8_t command)
{
    OutputReport r{};
    r[0] = kOutputReportId;
    r[1] = command;
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

std::vector<OutputReport> Chunks(std::uint8_t command, std::span<const std::uint8_t> table)
{
    constexpr std::size_t kChunk = 60;
    std::vector<OutputReport> chunks;
    for (std::size_t offset = 0; offset < table.size(); offset += kChunk) {
        const std::size_t length = std::min(kChunk, table.size() - offset);
        OutputReport r = Output(command);
        r[2] = Byte(static_cast<int>(length));
        r[3] = Byte(static_cast<int>(offset));
        r[4] = Byte(static_cast<int>(offset >> 8));
        std::copy_n(table.begin() + offset, length, r.begin() + 5);
        chunks.push_back(r);
    }
    return chunks;
}

FramedPayload Framed()
{
    FramedPayload p{};
    std::copy(kFrameMarker.begin(), kFrameMarker.end(), p.begin());
    return p;
}

} // namespace

OutputReport BuildLightingModeOutput(int mode)
{
    OutputReport r = Output(output::kLightingMode);
    r[3] = Byte(mode);
    return r;
}

OutputReport BuildLightingParamsOutput(const LightingParams& light)
{
    OutputReport r = Output(output::kLightingParams);
    r[3] = Byte(((light.direction & 3) << 4) | (light.colorful != 0 ? 0x40 : 0) | (light.speed & 0x0F));
    r[4] = ColourByte(light.colorValue, 0);
    r[5] = ColourByte(light.colorValue, 1);
    r[6] = ColourByte(light.colorValue, 2);
    r[7] = Byte(light.brightness);
    return r;
}

OutputReport BuildStreamStart()
{
    OutputReport r = Output(output::kStreamStart);
    r[2] = 0xF4;
    r[3] = 0x01;
    return r;
}

OutputReport BuildFactoryResetOutput()
{
    OutputReport r = Output(output::kFactoryReset);
    r[2] = 0xFE;
    r[3] = 0xAA;
    r[4] = 0xFF;
    return r;
}

std::vector<OutputReport> BuildKeyMapChunks(const KeyMapTable& table)
{
    return Chunks(output::kKeyMapChunk, table);
}

std::vector<OutputReport> BuildCustomColourChunks(const CustomColourTable& table)
{
    return Chunks(output::kCustomColourChunk, table);
}

std::vector<OutputReport> BuildColourStreamChunks(const ColourStreamTable& table)
{
    return Chunks(output::kStreamChunk, table);
}

FramedPayload BuildFramedLighting(const LightingParams& light)
{
    FramedPayload p = Framed();
    p[4] = 0xAA;
    p[5] = Byte(light.mode - 1);
    p[6] = Byte(light.colorIndex);
    p[7] = Byte(light.direction);
    p[8] = ReduceLevel(light.speed);
    p[9] = ReduceLevel(light.brightness);
    p[10] = (light.configFunc & kConfigFuncCustomColours) ? Byte(light.option) : std::uint8_t{0};
    if (light.mode == 4) {
        p[7] = ColourByte(light.colorValue, 0);
        p[8] = ColourByte(light.colorValue, 1);
        p[10] = ColourByte(light.colorValue, 2);
    }
    return p;
}

FramedPayload BuildFramedResetPart1()
{
    FramedPayload p = Framed();
    std::fill_n(p.begin() + 4, 6, std::uint8_t{0xAA});
    return p;
}

FramedPayload BuildFramedResetPart2()
{
    return Framed();
}

} // namespace keystead::device
