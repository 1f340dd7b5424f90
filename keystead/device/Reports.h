#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// The two report types the keyboard's vendor interface (usage page 0xFF01, usage 1) takes,
// and the fixed-size tables that ride in them. Every layout is a plain byte array whose size
// is checked at compile time, so a builder can never produce a report of the wrong length.
namespace keystead::device {

inline constexpr std::uint8_t kFeatureReportId = 0x07;
inline constexpr std::uint8_t kOutputReportId = 0x00;

inline constexpr std::size_t kFeatureReportSize = 8;  // report id, command, 6 parameters
inline constexpr std::size_t kOutputReportSize = 65;  // report id, command, 63 bytes
inline constexpr std::size_t kFramedPayloadSize = 64; // output report without its id

using FeatureReport = std::array<std::uint8_t, kFeatureReportSize>;
using OutputReport = std::array<std::uint8_t, kOutputReportSize>;
using FramedPayload = std::array<std::uint8_t, kFramedPayloadSize>;

static_assert(sizeof(FeatureReport) == 8);
static_assert(sizeof(OutputReport) == 65);
static_assert(sizeof(FramedPayload) == 64);

// Per-key tables, indexed by a key's position (key_index of the layout).
inline constexpr int kKeyPositions = 110;
inline constexpr std::size_t kKeyMapSize = 2 * kKeyPositions;       // 0x8D
inline constexpr std::size_t kCustomColourSize = 4 * kKeyPositions; // 0x8B
inline constexpr std::size_t kColourStreamSize = 3 * kKeyPositions; // 0xF1 on the stream interface
inline constexpr std::size_t kSlotTableSize = 28;                   // 0xFB reply, four gets
inline constexpr std::size_t kMacroSlotPayloadSize = 168;           // 0xF1 feature transfer
inline constexpr std::size_t kMacroSlotBufferSize = 1200;           // 0x8E slot data

using KeyMapTable = std::array<std::uint8_t, kKeyMapSize>;
using CustomColourTable = std::array<std::uint8_t, kCustomColourSize>;
using ColourStreamTable = std::array<std::uint8_t, kColourStreamSize>;
using SlotTable = std::array<std::uint8_t, kSlotTableSize>;
using MacroSlotPayload = std::array<std::uint8_t, kMacroSlotPayloadSize>;

static_assert(sizeof(KeyMapTable) == 220);
static_assert(sizeof(CustomColourTable) == 440);
static_assert(sizeof(ColourStreamTable) == 330);
static_assert(sizeof(SlotTable) == 28);
static_assert(sizeof(MacroSlotPayload) == 168);
static_assert(kMacroSlotPayloadSize % 6 == 0, "the transfer is whole 6-byte feature chunks");

// Command bytes (byte 1 of a report).
namespace feature {
inline constexpr std::uint8_t kMacroChunkNext = 0x00;
inline constexpr std::uint8_t kMusicLevel = 0x23;
inline constexpr std::uint8_t kFactoryReset = 0xF0;
inline constexpr std::uint8_t kMacroChunkFirst = 0xF1;
inline constexpr std::uint8_t kLightingMode = 0xF7;
inline constexpr std::uint8_t kFunctionSlot = 0xFA;
inline constexpr std::uint8_t kReadSlotTable = 0xFB;
inline constexpr std::uint8_t kReadFirmware = 0xFD;
inline constexpr std::uint8_t kCustomLighting = 0xFF;
} // namespace feature

namespace output {
inline constexpr std::uint8_t kLightingMode = 0x88;
inline constexpr std::uint8_t kLightingParams = 0x89;
inline constexpr std::uint8_t kCustomColourChunk = 0x8B;
inline constexpr std::uint8_t kKeyMapChunk = 0x8D;
inline constexpr std::uint8_t kMacroSlotChunk = 0x8E;
inline constexpr std::uint8_t kStreamStart = 0xF0;
inline constexpr std::uint8_t kStreamChunk = 0xF1;
inline constexpr std::uint8_t kFactoryReset = 0xFF;
} // namespace output

// Framed payloads of family B in connection modes 1 and 2 start with this marker.
inline constexpr std::array<std::uint8_t, 4> kFrameMarker{0xBB, 0xAA, 0x99, 0x88};

} // namespace keystead::device
