#include "platform/SimulatedVirtualHidDevice.h"

#include <cstdio>

namespace platform {

SimulatedVirtualHidDevice::SimulatedVirtualHidDevice(const std::string& logPath) : log_(logPath) {}

bool SimulatedVirtualHidDevice::Find()
{
    std::lock_guard lock(mutex_);
    if (open_)
        return true;
    ++searches_;
    std::printf("\n....looking for our HID device (with UP=0x%04X and Usage=0x%02X)\n", kVirtualDeviceUsagePage,
                kVirtualDeviceUsage);
    if (!present_) {
        std::printf("Error: No active device interfaces found.\n Is the sample driver loaded?");
        return false;
    }
    std::printf("Device Attributes - PID: 0x%x, VID: 0x%x \n", kVirtualDeviceProductId, kVirtualDeviceVendorId);
    std::printf("Success: Found my device.. \n");
    open_ = true;
    return true;
}

void SimulatedVirtualHidDevice::Close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
}

bool SimulatedVirtualHidDevice::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

bool SimulatedVirtualHidDevice::Write(const InjectionReport& report)
{
    std::lock_guard lock(mutex_);
    if (open_ && !present_)
        open_ = false;
    if (!open_)
        return false;
    reports_.push_back(report);
    log_.Report(report.bytes);
    return true;
}

void SimulatedVirtualHidDevice::EmergencyRelease() noexcept
{
    // The same four reports a release of everything sends.
    static constexpr std::array<uint8_t, kKeyboardReportBytes> kZero{};
    static constexpr InjectionReport kReleased[] = {
        InjectionReport::Make(kKeyboardReport, std::span(kZero).first(kKeyboardReportBytes)),
        InjectionReport::Make(kMouseReport, std::span(kZero).first(kMouseReportBytes)),
        InjectionReport::Make(kConsumerReport, std::span(kZero).first(kConsumerReportBytes)),
        InjectionReport::Make(kReleaseReport, std::span(kZero).first(kReleaseReportBytes)),
    };
    for (const auto& r : kReleased)
        log_.Report(r.bytes);
}

void SimulatedVirtualHidDevice::SetPresent(bool present)
{
    std::lock_guard lock(mutex_);
    present_ = present;
}

std::vector<InjectionReport> SimulatedVirtualHidDevice::Reports() const
{
    std::lock_guard lock(mutex_);
    return reports_;
}

void SimulatedVirtualHidDevice::ClearReports()
{
    std::lock_guard lock(mutex_);
    reports_.clear();
}

int SimulatedVirtualHidDevice::Searches() const
{
    std::lock_guard lock(mutex_);
    return searches_;
}

} // namespace platform
