#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "device/DeviceLink.h"
#include "devicedesc/DeviceEntry.h"
#include "platform/DeviceWatcher.h"

// Finding the keyboard, the connection state that follows, and the arrival and removal
// notifications that start a new detection.
namespace keystead::device {

// Kind 1 arrival (number: the entry's device type) or 2 removal (number: its mode).
struct DeviceEvent {
    int kind = 0;
    int number = 0;
};

struct ConnectionFlags {
    bool keyboardConnected = false;
    bool candidatesPresent = false;
    int connectionMode = 0;
    DeviceEvent lastEvent;
};

// What the main window shows of the connection; it implements this.
class DeviceStatusView {
public:
    virtual ~DeviceStatusView() = default;
    // The device list control: every entry back to not connected / one type connected.
    virtual void ResetAllDeviceStates() = 0;
    virtual void SetDeviceState(int deviceType, int state) = 0;
    // Own popups closed before the connection state is shown.
    virtual void CloseOwnPopups() = 0;
    // Language text number of the status title (60 connected, 61 not).
    virtual void SetStatusText(int textNumber) = 0;
    // Stores the mode and enables or disables the controls that depend on it.
    virtual void ApplyConnectionMode(int mode) = 0;
    // true: device pages shown (keyboard icon); false: first tab selected, pages hidden.
    virtual void ShowDevicePages(bool show) = 0;
};

inline constexpr int kTextConnected = 60;
inline constexpr int kTextNotConnected = 61;

// Detection: re-opens the interfaces and marks the mode-list entries that found one (an
// entry's name is its product name); only their state is written.
void DetectKeyboard(DeviceLink& link, std::vector<DeviceEntry>& modes, ConnectionFlags& flags, DeviceStatusView& view);

// The connection state after a detection, for the model of `deviceType`. True when the
// keyboard is usable: the caller then queues the firmware check (13) and the page refresh (5).
bool ApplyConnectionState(DeviceLink& link, int deviceType, ConnectionFlags& flags, DeviceStatusView& view);

// An arrival or removal notification: the task to queue (2 or 3), or 0 when the identity
// belongs to no entry (or to a Bluetooth interface, whose notifications are ignored).
int HandleDeviceChange(platform::DeviceChange change, std::string_view identity, std::vector<DeviceEntry>& modes,
    DeviceEvent& lastEvent);

} // namespace keystead::device
