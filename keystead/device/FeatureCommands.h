#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "device/LightingParams.h"
#include "device/Reports.h"

// Builders for the 8-byte feature report 7 commands and parsers for their replies.
// Pure functions: no I/O, every byte fixed here.
namespace keystead::device {

FeatureReport BuildReadSlotTable();
// The get request of the slot table read: bytes 0-2 are 07 FB 01.
FeatureReport BuildSlotTableGet();
// Function slot 1-10: key code and value 0 free the slot.
FeatureReport BuildFunctionSlot(int slot, int keyCode, int value);
// Chunk `index` (0-27) of a macro-slot transfer: 0xF1 first, 0x00 after.
FeatureReport BuildMacroSlotChunk(const MacroSlotPayload& payload, int index);
inline constexpr int kMacroSlotChunks = static_cast<int>(kMacroSlotPayloadSize / 6);
FeatureReport BuildLightingFeature(const LightingParams& light);
FeatureReport BuildFactoryResetFeature();
FeatureReport BuildMusicLevel(int effect, int colourNumber, int level);
FeatureReport BuildReadFirmware();
FeatureReport BuildFirmwareGet();
// Custom-lighting selection (family A): mode - 1, brightness, speed, option.
FeatureReport BuildCustomLightingSelect(int mode, int brightness, int speed, int option);

// Stored speed and brightness go out minus one, except that 0 stays 0.
std::uint8_t ReduceLevel(int value);
// min(255, truncated amplitude * gain); negative input gives 0.
int MusicLevel(double amplitude, double gain);

// Copies bytes 1-7 of one slot-table reply into table bytes 7*getIndex ...; a reply shorter
// than 8 bytes contributes only what it holds. Out-of-range indexes change nothing.
void MergeSlotTableReply(SlotTable& table, int getIndex, std::span<const std::uint8_t> reply);

// Key code held by macro slot 1-13 / function slot 1-10 of a slot table (0: free).
int MacroSlotKey(const SlotTable& table, int slot);
int FunctionSlotKey(const SlotTable& table, int slot);
inline constexpr int kMacroSlotCount = 13;
inline constexpr int kFunctionSlotCount = 10;

// Firmware version from a get reply: byte 1 * 256 + byte 2; nothing when the reply is short.
std::optional<int> ParseFirmwareVersion(std::span<const std::uint8_t> reply);

} // namespace keystead::device
