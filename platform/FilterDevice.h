#pragma once
#include <array>
#include <cstdint>
#include <span>

// The keyboard filter: it holds back the keys listed in its key table and reports their presses
// and releases, while every other key reaches the system as usual. It is driven by four device
// controls whose codes, buffers and byte layouts are fixed.
namespace platform {

inline constexpr uint32_t kFilterSetKeyTable = 0x22A000;   // input: key table (1024 bytes) or 256 zero bytes
inline constexpr uint32_t kFilterTableLoaded = 0x226008;   // no buffers; sent after each new key table
inline constexpr uint32_t kFilterTableApplied = 0x22600C;  // no buffers; sent right after 0x226008
inline constexpr uint32_t kFilterWaitKeyEvent = 0x226044;  // output: one key event (4 bytes)

inline constexpr size_t kKeyTableEntries = 256;
inline constexpr size_t kKeyTableBytes = 1024;
inline constexpr size_t kZeroKeyTableBytes = 256;

// One held-back key: its code little-endian, then the fixed bytes 7 and 0x02.
struct KeyTableEntry {
    uint8_t codeLow = 0;
    uint8_t codeHigh = 0;
    uint8_t kind = 0;
    uint8_t flags = 0;

    static KeyTableEntry ForCode(uint16_t code)
    {
        return {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8), 7, 0x02};
    }
    uint16_t Code() const { return static_cast<uint16_t>(codeLow | (codeHigh << 8)); }
    bool Empty() const { return codeLow == 0 && codeHigh == 0 && kind == 0 && flags == 0; }
};
static_assert(sizeof(KeyTableEntry) == 4);

struct KeyTable {
    std::array<KeyTableEntry, kKeyTableEntries> entries{};

    std::span<const uint8_t> Bytes() const
    {
        return {reinterpret_cast<const uint8_t*>(entries.data()), kKeyTableBytes};
    }
};
static_assert(sizeof(KeyTable) == kKeyTableBytes);

// Output of 0x226044: code little-endian, byte 2 passed on untouched, bit 0 of byte 3 set on a press.
struct FilterKeyEvent {
    std::array<uint8_t, 4> bytes{};

    static FilterKeyEvent Make(uint16_t code, bool pressed, uint8_t byte2 = 0)
    {
        return {{static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8), byte2,
                 static_cast<uint8_t>(pressed ? 1 : 0)}};
    }
    uint16_t Code() const { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }
    uint8_t Byte2() const { return bytes[2]; }
    bool Pressed() const { return (bytes[3] & 1) != 0; }
};
static_assert(sizeof(FilterKeyEvent) == 4);

class FilterDevice {
public:
    virtual ~FilterDevice() = default;

    // Opens the device (its read, write and control handles). False when the filter is not there.
    virtual bool Open() = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // One device control. Returns false at once when the device is closed, the code is unknown or a
    // buffer has the wrong size. kFilterWaitKeyEvent blocks until a key event is written to output
    // (true) or the wait is cancelled (false).
    virtual bool DeviceControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output) = 0;

    // Signals the cancel events: a pending wait ends without an event, and so does every wait
    // started before ResetCancel.
    virtual void CancelPendingIo() = 0;
    virtual void ResetCancel() = 0;

    // Called from a fatal-signal handler: only async-signal-safe system calls. Leaves no key held back.
    virtual void EmergencyRelease() noexcept {}
};

} // namespace platform
