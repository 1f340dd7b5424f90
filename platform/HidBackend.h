#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DeviceWatcher.h"

// Access to the machine's HID interfaces. hidraw paths ("/dev/hidraw3") say nothing about the
// interface, so every interface also carries a canonical identity in the Windows form
// ("HID#VID_1209&PID_4B01&MI_03", upper case); product configuration patterns are compared
// against that identity. Bluetooth interfaces carry the HID service GUID instead.
namespace platform {

enum class HidBus { Unknown, Usb, Bluetooth, Other };

inline constexpr std::string_view kBluetoothHidServiceGuid = "00001812-0000-1000-8000-00805F9B34FB";

struct HidInterfaceInfo {
    std::string path;     // what Open takes
    std::string identity; // canonical, upper case
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t releaseNumber = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = -1;
    HidBus bus = HidBus::Unknown;
    std::wstring productString;
};

// "HID#VID_XXXX&PID_XXXX&MI_NN" (no MI part for a negative interface number);
// Bluetooth: "HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&02XXXX_PID&XXXX".
std::string HidIdentity(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber, HidBus bus);

// One open interface. Results are byte counts, or -1 on failure.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // data[0] is the report id.
    virtual int SendFeatureReport(std::span<const std::uint8_t> data) = 0;
    // data[0] holds the requested report id; the reply overwrites data.
    virtual int GetFeatureReport(std::span<std::uint8_t> data) = 0;
    virtual int Write(std::span<const std::uint8_t> data) = 0;
    // Output report length including the id, 0 when the backend cannot tell.
    virtual std::size_t OutputReportLength() const = 0;
    // The system's text for the last failure.
    virtual std::wstring LastError() const = 0;
    // True once the interface has left the system; every later call fails.
    virtual bool IsGone() const = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // False when the system's HID access cannot be set up; Enumerate then yields nothing.
    virtual bool Available() = 0;
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Null when the interface cannot be opened.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
    // The arrival and removal notifications of the interfaces this backend sees.
    virtual std::unique_ptr<DeviceWatcher> MakeWatcher() = 0;
};

// hidapi over hidraw.
std::unique_ptr<HidBackend> MakeHidapiBackend();

} // namespace platform
