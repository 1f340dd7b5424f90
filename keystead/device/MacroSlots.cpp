#include "device/MacroSlots.h"

#include <algorithm>

namespace keystead::device {
namespace {

constexpr int kMaxDelayMs = 31000;
// The last chunk reads 59 bytes from 59 * (chunks - 1): it must stay inside the buffer.
static_assert(((3 * kMaxSlotEventsA + 3) / 60) * 59 + 59 <= static_cast<int>(kMacroSlotBufferSize));

std::uint8_t Byte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

MacroSlotPayload PayloadHeader(int slot, int keyCode, int repetitions)
{
    MacroSlotPayload p{};
    p[0] = 1;
    p[1] = Byte(slot);
    p[2] = Byte(keyCode);
    p[3] = Byte(repetitions);
    return p;
}

} // namespace

std::uint8_t EncodeEventTiming(bool keyUp, int delayMs)
{
    const int d = std::min(delayMs, kMaxDelayMs);
    int unit = 0;
    int count = 1;
    if (d <= 10) {
        count = 1;
    } else if (d <= 310) {
        count = d / 10;
    } else if (d <= 1550) {
        unit = 1;
        count = d / 50;
    } else if (d <= 3100) {
        unit = 1; // the 100 ms range shares the 50 ms unit bits
        count = d / 100;
    } else {
        unit = 3;
        count = d / 1000;
    }
    count = std::clamp(count, 1, 31);
    return static_cast<std::uint8_t>((keyUp ? 0x80 : 0) | (unit << 5) | count);
}

MacroSlotPayload BuildMacroPayloadB(int slot, int keyCode, int playTimes, std::span<const SlotEvent> events)
{
    MacroSlotPayload p = PayloadHeader(slot, keyCode, playTimes);
    const std::size_t count = std::min<std::size_t>(events.size(), kMaxPayloadEventsB);
    for (std::size_t i = 0; i < count; ++i) {
        p[4 + 2 * i] = events[i].usage;
        p[5 + 2 * i] = EncodeEventTiming(events[i].keyUp, events[i].delayMs);
    }
    return p;
}

MacroSlotPayload BuildShortcutPayloadB(int slot, int keyCode, std::span<const ::ShortcutStep> steps)
{
    MacroSlotPayload p = PayloadHeader(slot, keyCode, 1);
    const std::size_t count = std::min<std::size_t>(steps.size(), kMaxPayloadEventsB);
    for (std::size_t i = 0; i < count; ++i) {
        p[4 + 2 * i] = steps[i].usage;
        p[5 + 2 * i] = steps[i].press ? 0x01 : 0x81;
    }
    return p;
}

MacroSlotPayload BuildFreedSlotPayloadB(int slot)
{
    MacroSlotPayload p{};
    p[0] = 1;
    p[1] = Byte(slot);
    return p;
}

std::vector<OutputReport> BuildMacroSlotChunksA(int slot, std::optional<int> playTimes,
    std::span<const SlotEvent> events)
{
    std::array<std::uint8_t, kMacroSlotBufferSize> data{};
    const int c = static_cast<int>(std::min<std::size_t>(events.size(), kMaxSlotEventsA));
    data[0] = Byte(std::clamp(playTimes.value_or(1), 1, 255));
    data[1] = Byte(c);
    for (int i = 0; i < c; ++i) {
        const SlotEvent& e = events[i];
        const int delay = std::clamp(e.delayMs, 0, kMaxDelayMs);
        std::uint8_t low = Byte(delay);
        std::uint8_t high = Byte(delay >> 8);
        if (e.keyUp) {
            low |= 0x80;
            high &= 0x7F;
        } else {
            high |= 0x80;
        }
        data[2 + 3 * i] = e.usage;
        data[3 + 3 * i] = low;
        data[4 + 3 * i] = high;
    }

    const int counted = 3 * c + 3;
    const int chunkCount = counted / 60 + 1;
    std::vector<OutputReport> chunks;
    for (int k = 0; k < chunkCount; ++k) {
        OutputReport r{};
        r[0] = kOutputReportId;
        r[1] = output::kMacroSlotChunk;
        r[2] = Byte(k + 1 < chunkCount ? 59 : counted - 60 * (chunkCount - 1));
        r[3] = Byte(59 * k);
        r[4] = Byte((59 * k) >> 8);
        r[5] = Byte(slot);
        std::copy_n(data.begin() + 59 * k, 59, r.begin() + 6);
        chunks.push_back(r);
    }
    return chunks;
}

OutputReport BuildShortcutSlotA(int slot, std::span<const ::ShortcutStep> steps)
{
    // 8 header bytes leave room for 19 steps; shortcuts have 4 or 6.
    const int n = static_cast<int>(std::min<std::size_t>(steps.size(), 19));
    OutputReport r{};
    r[0] = kOutputReportId;
    r[1] = output::kMacroSlotChunk;
    r[2] = Byte(3 * n);
    r[5] = Byte(slot);
    r[6] = 1;
    r[7] = Byte(n);
    for (int i = 0; i < n; ++i) {
        r[8 + 3 * i] = steps[i].usage;
        r[9 + 3 * i] = 0x64;
        r[10 + 3 * i] = steps[i].press ? 0x80 : 0x00;
    }
    return r;
}

} // namespace keystead::device
