#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

// The virtual HID device through which the program types keys, consumer usages and mouse buttons.
// Every injection is one 64-byte write: 0x05, the report id, then the report data.
namespace platform {

inline constexpr size_t kInjectionReportBytes = 64;
inline constexpr uint8_t kInjectionMarker = 0x05;
inline constexpr uint16_t kVirtualDeviceVendorId = 0xDEED;
inline constexpr uint16_t kVirtualDeviceProductId = 0xFEED;
inline constexpr uint16_t kVirtualDeviceUsagePage = 0xFF00;
inline constexpr uint16_t kVirtualDeviceUsage = 1;

enum InjectedReportId : uint8_t {
    kKeyboardReport = 1,  // 33 bytes: byte 0 zero, bytes 1..32 bitmap of pressed keyboard usages
    kMouseReport = 2,     // 4 bytes: byte 0 button bits
    kConsumerReport = 3,  // 2 bytes: consumer usage little-endian, 0 when released
    kReleaseReport = 4,   // 2 bytes: always zero
};
inline constexpr size_t kKeyboardReportBytes = 33;
inline constexpr size_t kMouseReportBytes = 4;
inline constexpr size_t kConsumerReportBytes = 2;
inline constexpr size_t kReleaseReportBytes = 2;

struct InjectionReport {
    std::array<uint8_t, kInjectionReportBytes> bytes{};

    // Report id 0 puts the data right after the marker; longer data is cut at 62 (63) bytes.
    static constexpr InjectionReport Make(uint8_t reportId, std::span<const uint8_t> data)
    {
        InjectionReport r;
        r.bytes[0] = kInjectionMarker;
        size_t at = 1;
        if (reportId != 0)
            r.bytes[at++] = reportId;
        const size_t n = std::min(data.size(), kInjectionReportBytes - at);
        std::copy_n(data.begin(), n, r.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return r;
    }
    uint8_t ReportId() const { return bytes[1]; }
    // The report data after the id (62 bytes); meaningful for ids 1 to 4.
    std::span<const uint8_t> Data() const { return std::span<const uint8_t>(bytes).subspan(2); }
};
static_assert(sizeof(InjectionReport) == kInjectionReportBytes);

class VirtualHidDevice {
public:
    virtual ~VirtualHidDevice() = default;

    // Looks for the device and opens it; keeps a device already open. True when one is open.
    virtual bool Find() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // One 64-byte write. False when the device is closed or has gone; a gone device is closed.
    virtual bool Write(const InjectionReport& report) = 0;

    // Called from a fatal-signal handler: only async-signal-safe system calls. Leaves nothing pressed.
    virtual void EmergencyRelease() noexcept {}
};

} // namespace platform
