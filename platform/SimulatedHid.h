#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/DeviceWatcher.h"
#include "platform/HidBackend.h"
#include "platform/SimulatedKeyboard.h"

// The HID backend over simulated keyboards. Its watchers hear every plug and unplug of the
// keyboards it holds, as a udev monitor would.
namespace platform {

class SimulatedHidBackend : public HidBackend {
public:
    SimulatedHidBackend() = default;
    ~SimulatedHidBackend() override;
    SimulatedHidBackend(const SimulatedHidBackend&) = delete;
    SimulatedHidBackend& operator=(const SimulatedHidBackend&) = delete;

    void AddKeyboard(std::shared_ptr<SimulatedKeyboard> keyboard);
    std::vector<std::shared_ptr<SimulatedKeyboard>> Keyboards() const;
    // Pretends that the system's HID access cannot be set up.
    void SetAvailable(bool available);

    bool Available() override;
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
    std::unique_ptr<DeviceWatcher> MakeWatcher() override;

    int Subscribe(DeviceChangeHandler handler);
    void Unsubscribe(int id);

private:
    void Dispatch(bool arrival, const std::string& identity);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<SimulatedKeyboard>> keyboards_;
    std::vector<int> keyboardListeners_;
    std::map<int, DeviceChangeHandler> subscribers_;
    int nextSubscriber_ = 1;
    bool available_ = true;
};

} // namespace platform
