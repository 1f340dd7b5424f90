#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "device/LightingParams.h"
#include "device/Reports.h"

// Builders for the 65-byte output report 0 commands of family A (and the colour stream,
// which every model below device type 200 takes). Pure functions.
namespace keystead::device {

OutputReport BuildLightingModeOutput(int mode);            // 0x88
OutputReport BuildLightingParamsOutput(const LightingParams& light); // 0x89
OutputReport BuildStreamStart();                           // 0xF0 F4 01
OutputReport BuildFactoryResetOutput();                    // FF FE AA FF

// Table chunks: byte 2 = length, bytes 3-4 = offset (little-endian), bytes 5.. = data.
std::vector<OutputReport> BuildKeyMapChunks(const KeyMapTable& table);            // 4 x 0x8D
std::vector<OutputReport> BuildCustomColourChunks(const CustomColourTable& table); // 8 x 0x8B
std::vector<OutputReport> BuildColourStreamChunks(const ColourStreamTable& table); // 6 x 0xF1

// Framed payloads (family B, connection modes 1 and 2): BB AA 99 88, then the command.
FramedPayload BuildFramedLighting(const LightingParams& light);
FramedPayload BuildFramedResetPart1();
FramedPayload BuildFramedResetPart2();

} // namespace keystead::device
