#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Arrival and removal of HID interfaces, reported with their canonical identity
// (see HidBackend.h). The handler runs on the watcher's own thread.
namespace platform {

enum class DeviceChange { Arrival = 1, Removal = 2 };

using DeviceChangeHandler = std::function<void(DeviceChange change, const std::string& identity)>;

class DeviceWatcher {
public:
    virtual ~DeviceWatcher() = default;
    virtual bool Start(DeviceChangeHandler handler) = 0;
    // Returns once no handler call is running or will follow.
    virtual void Stop() = 0;
};

// libudev monitor on the hidraw subsystem.
std::unique_ptr<DeviceWatcher> MakeUdevDeviceWatcher();

// The identity of a hidraw node from its sysfs device path, e.g.
// ".../1-2/1-2:1.3/0003:1209:4B01.0005/hidraw/hidraw3" -> "HID#VID_1209&PID_4B01&MI_03".
// Works for removals too, when the node's attributes are already gone.
std::optional<std::string> IdentityFromSysPath(std::string_view devpath);

} // namespace platform
