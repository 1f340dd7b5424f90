#include "platform/SimulatedFilterDevice.h"

namespace platform {

SimulatedFilterDevice::SimulatedFilterDevice(const std::string& logPath) : log_(logPath) {}

bool SimulatedFilterDevice::Open()
{
    std::lock_guard lock(mutex_);
    open_ = present_;
    return open_;
}

bool SimulatedFilterDevice::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

void SimulatedFilterDevice::Close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    table_.clear();
    events_.Cancel();
}

bool SimulatedFilterDevice::DeviceControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output)
{
    std::unique_lock lock(mutex_);
    if (!open_)
        return false;
    switch (code) {
    case kFilterSetKeyTable: {
        if (input.size() != kKeyTableBytes && input.size() != kZeroKeyTableBytes)
            return false;
        controls_.push_back({code, {input.begin(), input.end()}});
        log_.Control(code, input);
        table_.clear();
        for (size_t i = 0; i + 4 <= input.size(); i += 4) {
            const uint16_t key = static_cast<uint16_t>(input[i] | (input[i + 1] << 8));
            if (key != 0)
                table_.insert(key);
        }
        return true;
    }
    case kFilterTableLoaded:
    case kFilterTableApplied:
        controls_.push_back({code, {}});
        log_.Control(code, {});
        return true;
    case kFilterWaitKeyEvent: {
        if (output.size() < sizeof(FilterKeyEvent))
            return false;
        lock.unlock();
        FilterKeyEvent ev;
        if (!events_.Wait(ev))
            return false;
        std::copy(ev.bytes.begin(), ev.bytes.end(), output.begin());
        return true;
    }
    default:
        return false;
    }
}

void SimulatedFilterDevice::CancelPendingIo()
{
    events_.Cancel();
}

void SimulatedFilterDevice::ResetCancel()
{
    events_.ResetCancel();
}

void SimulatedFilterDevice::EmergencyRelease() noexcept
{
    static constexpr uint8_t kZero[kZeroKeyTableBytes] = {};
    log_.Control(kFilterSetKeyTable, kZero);
}

bool SimulatedFilterDevice::PressPhysicalKey(uint16_t code, bool pressed)
{
    std::lock_guard lock(mutex_);
    // A release follows its press: a key pressed while held back is reported at its release even
    // when the table has changed in between, and the other way round.
    const bool held = pressed ? (open_ && table_.count(code) != 0) : heldDown_.count(code) != 0;
    if (!held)
        return false;
    if (pressed)
        heldDown_.insert(code);
    else
        heldDown_.erase(code);
    events_.Push(FilterKeyEvent::Make(code, pressed));
    return true;
}

void SimulatedFilterDevice::SetPresent(bool present)
{
    std::lock_guard lock(mutex_);
    present_ = present;
}

std::vector<FilterControlRecord> SimulatedFilterDevice::Controls() const
{
    std::lock_guard lock(mutex_);
    return controls_;
}

std::set<uint16_t> SimulatedFilterDevice::HeldBackCodes() const
{
    std::lock_guard lock(mutex_);
    return table_;
}

bool SimulatedFilterDevice::HasWaiter() const
{
    return events_.HasWaiter();
}

bool SimulatedFilterDevice::WaitUntilHandled(int timeoutMs) const
{
    return events_.WaitUntilDrained(timeoutMs);
}

} // namespace platform
