#pragma once
#include "platform/DeviceLog.h"
#include "platform/FilterDevice.h"
#include "platform/KeyEventQueue.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>

// A filter without a kernel: the keys come from the caller (a test, the demo or a benchmark),
// the filter holds back those of its current key table and queues them as key events, and it
// remembers every device control it receives.
namespace platform {

struct FilterControlRecord {
    uint32_t code = 0;
    std::vector<uint8_t> input;
};

class SimulatedFilterDevice : public FilterDevice {
public:
    explicit SimulatedFilterDevice(const std::string& logPath = {});

    bool Open() override;
    bool IsOpen() const override;
    void Close() override;
    bool DeviceControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output) override;
    void CancelPendingIo() override;
    void ResetCancel() override;
    void EmergencyRelease() noexcept override;

    // A physical key press or release. Returns true when the filter held it back (it is then
    // reported as a key event); false when it went on to the system.
    bool PressPhysicalKey(uint16_t code, bool pressed);
    // Makes the device appear or disappear for Open.
    void SetPresent(bool present);

    std::vector<FilterControlRecord> Controls() const;
    std::set<uint16_t> HeldBackCodes() const;
    // True while a thread waits in kFilterWaitKeyEvent.
    bool HasWaiter() const;
    // Returns once the monitor has taken every reported key event and waits again (false after
    // the timeout): what it did for those events is then done.
    bool WaitUntilHandled(int timeoutMs = 5000) const;

private:
    mutable std::mutex mutex_;
    bool present_ = true;
    bool open_ = false;
    std::set<uint16_t> table_;
    std::set<uint16_t> heldDown_;  // held-back keys whose press was reported, so their release is too
    KeyEventQueue events_;
    std::vector<FilterControlRecord> controls_;
    DeviceLog log_;
};

} // namespace platform
