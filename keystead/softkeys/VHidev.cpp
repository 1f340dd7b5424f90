#include "softkeys/VHidev.h"

#include "keys/KeyFunction.h"
#include "platform/ProcessSignals.h"
#include "softkeys/SoftKeyDevices.h"

VHidev::VHidev(std::unique_ptr<platform::VirtualHidDevice> device)
    : device_(std::move(device)),
      keyboard_{platform::kKeyboardReport, this, {}, platform::kKeyboardReportBytes},
      mouse_{platform::kMouseReport, this, {}, platform::kMouseReportBytes},
      consumer_{platform::kConsumerReport, this, {}, platform::kConsumerReportBytes},
      release_{platform::kReleaseReport, this, {}, platform::kReleaseReportBytes}
{
    platform::AddEmergencyAction(&VHidev::EmergencyRelease, this);
}

VHidev::~VHidev()
{
    platform::RemoveEmergencyAction(&VHidev::EmergencyRelease, this);
}

bool VHidev::FindVirtualDevice()
{
    std::lock_guard lock(writeMutex_);
    return device_->Find();
}

bool VHidev::ReopenVirtualDevice()
{
    std::lock_guard lock(writeMutex_);
    device_->Close();
    return device_->Find();
}

bool VHidev::EnsureVirtualDevice()
{
    std::lock_guard lock(writeMutex_);
    return device_->IsOpen() || device_->Find();
}

bool VHidev::IsOpen() const
{
    return device_->IsOpen();
}

void VHidev::PressKey(int usage, bool pressed)
{
    if (usage < 0 || usage > 255)
        return;
    std::lock_guard lock(writeMutex_);
    uint8_t& byte = keyboard_.data[1 + static_cast<size_t>(usage) / 8];
    const uint8_t bit = static_cast<uint8_t>(1u << (usage % 8));
    byte = pressed ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
    SendLocked(keyboard_);
}

void VHidev::SetMouseButton(int bit, bool pressed)
{
    if (bit < 0 || bit > 7)
        return;
    std::lock_guard lock(writeMutex_);
    const uint8_t mask = static_cast<uint8_t>(1u << bit);
    mouse_.data[0] = pressed ? static_cast<uint8_t>(mouse_.data[0] | mask) : static_cast<uint8_t>(mouse_.data[0] & ~mask);
    SendLocked(mouse_);
}

void VHidev::SendConsumer(int code, bool pressed)
{
    if (!IsConsumerCode(code))
        return;
    const uint16_t usage = pressed ? ConsumerUsage(code) : 0;
    std::lock_guard lock(writeMutex_);
    consumer_.data[0] = static_cast<uint8_t>(usage & 0xFF);
    consumer_.data[1] = static_cast<uint8_t>(usage >> 8);
    SendLocked(consumer_);
}

void VHidev::ReleaseAll()
{
    std::lock_guard lock(writeMutex_);
    ReleaseAllLocked();
}

void VHidev::ShutDown()
{
    std::lock_guard lock(writeMutex_);
    ReleaseAllLocked();
    shutDown_ = true;
}

void VHidev::ReleaseAllLocked()
{
    for (Report* r : {&keyboard_, &mouse_, &consumer_, &release_}) {
        r->data.fill(0);
        SendLocked(*r);
    }
}

bool VHidev::SendLocked(Report& report)
{
    return report.proxy->WriteReport(report.data.data(), report.length, report.id);
}

bool VHidev::WriteReport(const uint8_t* data, size_t length, uint8_t reportId)
{
    // Called with the write mutex held.
    if (shutDown_)
        return false;
    return device_->Write(platform::InjectionReport::Make(reportId, std::span(data, length)));
}

void VHidev::EmergencyRelease(void* self) noexcept
{
    static_cast<VHidev*>(self)->device_->EmergencyRelease();
}

VHidev& GetVHidev()
{
    // Never destroyed: the monitor and worker threads may still inject while the process ends.
    static VHidev* const instance = new VHidev(MakeVirtualHidDevice());
    return *instance;
}
