#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "device/Reports.h"
#include "keys/KeyFunction.h"

// What the keyboard stores in a macro slot, in both command families: the family-B 168-byte
// feature transfer and the family-A 0x8E slot data with its chunking. Pure functions.
namespace keystead::device {

// One key-down or key-up event of a macro, its usage already translated from the stored
// virtual-key code.
struct SlotEvent {
    std::uint8_t usage = 0;
    bool keyUp = false;
    int delayMs = 0;
};

// Family B timing byte: bit 7 key-up, bits 6-5 unit, bits 4-0 count (at least 1).
std::uint8_t EncodeEventTiming(bool keyUp, int delayMs);

inline constexpr int kMaxPayloadEventsB = 82;

// Family B payload: 1, slot, key code, repetitions (low byte), then up to 82 events of
// (usage, timing byte); later events are left out.
MacroSlotPayload BuildMacroPayloadB(int slot, int keyCode, int playTimes, std::span<const SlotEvent> events);
// A system shortcut: repetitions 1, each step usage + 0x01 (press) or 0x81 (release).
MacroSlotPayload BuildShortcutPayloadB(int slot, int keyCode, std::span<const ::ShortcutStep> steps);
// Offsets 0 and 1 only: the slot is freed.
MacroSlotPayload BuildFreedSlotPayloadB(int slot);

// Family A keeps the event count in one byte, so a slot holds at most 255 events; a longer
// macro is cut there (which also keeps the slot data inside its 1200-byte buffer).
inline constexpr int kMaxSlotEventsA = 255;

// The 0x8E chunks of one macro: repetitions (play_times clamped to 1-255, 1 without a
// header), event count, 3 bytes per event; counted as 3c + 3 bytes, sent in
// (3c + 3) / 60 + 1 chunks of 59 data bytes, the last carrying (3c + 3) mod 60 as length.
std::vector<OutputReport> BuildMacroSlotChunksA(int slot, std::optional<int> playTimes,
    std::span<const SlotEvent> events);
// A system shortcut as one 0x8E report: 100 ms per step.
OutputReport BuildShortcutSlotA(int slot, std::span<const ::ShortcutStep> steps);

} // namespace keystead::device
