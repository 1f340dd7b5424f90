#pragma once
#include "platform/FilterDevice.h"
#include "platform/FilterRouter.h"
#include "platform/KeyEventQueue.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The keyboard filter on Linux. While its key table holds keys, it grabs the keyboard's event
// devices (EVIOCGRAB), reports the presses and releases of the keys in the table, and sends every
// other event on through a uinput device of its own that mirrors the keyboard, so typing goes on;
// Caps Lock and the other LEDs set on that mirror are written back to the keyboard. With an empty
// table nothing is grabbed. The grab ends with the process.
namespace platform {

struct UsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    bool operator<(const UsbId& o) const { return std::pair(vendor, product) < std::pair(o.vendor, o.product); }
};

class EvdevFilterDevice : public FilterDevice {
public:
    // keyboards: the USB ids whose event devices are filtered; empty filters every keyboard.
    explicit EvdevFilterDevice(std::vector<UsbId> keyboards, std::string inputDir = "/dev/input");
    ~EvdevFilterDevice() override;
    EvdevFilterDevice(const EvdevFilterDevice&) = delete;
    EvdevFilterDevice& operator=(const EvdevFilterDevice&) = delete;

    bool Open() override;
    bool IsOpen() const override;
    void Close() override;
    bool DeviceControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output) override;
    void CancelPendingIo() override;
    void ResetCancel() override;
    void EmergencyRelease() noexcept override;

private:
    struct Keyboard;
    void Run();
    void Wake();
    void ApplyPending();
    void Rescan();
    bool TryGrab(Keyboard& kb);
    void Drop(Keyboard& kb);
    void Pump(Keyboard& kb);
    void ForwardLeds(Keyboard& kb);
    void PublishFds();

    const std::vector<UsbId> keyboards_;
    const std::string inputDir_;
    KeyEventQueue events_;

    // Requests from the control side, applied by the reader thread.
    std::mutex requestMutex_;
    std::set<uint16_t> requestedTable_;
    bool tableChanged_ = false;
    bool rescanRequested_ = false;
    bool stopRequested_ = false;

    std::atomic<bool> open_{false};
    int wakeFd_ = -1;
    std::thread reader_;

    // Owned by the reader thread.
    std::set<uint16_t> table_;
    std::vector<std::unique_ptr<Keyboard>> grabbed_;

    // Grabbed and mirror descriptors for the fatal-signal path.
    static constexpr size_t kMaxEmergencyFds = 64;
    std::array<std::atomic<int>, kMaxEmergencyFds> emergencyGrabs_{};
    std::array<std::atomic<int>, kMaxEmergencyFds> emergencyMirrors_{};
};

} // namespace platform
