#pragma once
#include "platform/InjectionDecoder.h"
#include "platform/VirtualHidDevice.h"

#include <atomic>
#include <mutex>

// The virtual device as a uinput keyboard, mouse and consumer-control device of our own.
// "Finding" it means creating it, which needs write access to /dev/uinput (granted to the
// desktop user by the installed udev rules).
namespace platform {

class UinputVirtualDevice : public VirtualHidDevice {
public:
    UinputVirtualDevice() = default;
    ~UinputVirtualDevice() override;
    UinputVirtualDevice(const UinputVirtualDevice&) = delete;
    UinputVirtualDevice& operator=(const UinputVirtualDevice&) = delete;

    bool Find() override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const InjectionReport& report) override;
    void EmergencyRelease() noexcept override;

private:
    bool WriteEvents(const std::vector<InputEventSpec>& events);
    void CloseLocked();

    mutable std::mutex mutex_;
    std::atomic<int> fd_{-1};
    InjectionDecoder decoder_;
};

} // namespace platform
