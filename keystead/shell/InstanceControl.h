#pragma once
#include "platform/ChannelMessageQueue.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceGuard.h"

#include <memory>
#include <string>

// Single instance per device name: the instance lock, and the channel on which the running
// instance receives the messages of other processes.
class InstanceControl {
public:
    // Takes the instance lock of the device name.
    explicit InstanceControl(const std::wstring& deviceName);

    // True when another process is the instance of this device name.
    bool OtherInstanceRuns() const;
    // Asks the running instance to show, restore and raise its main window; false when no
    // instance listens (it may still be starting or already closing).
    bool RaiseOtherInstance() const;
    // Starts receiving messages into Messages(); false when the channel cannot be opened,
    // for example while another process holds the lock.
    bool Listen();

    platform::ChannelMessageQueue& Messages() { return m_messages; }
    const std::string& ChannelPath() const { return m_guard.ChannelPath(); }

private:
    platform::InstanceGuard m_guard;
    platform::ChannelMessageQueue m_messages;
    std::unique_ptr<platform::InstanceChannelListener> m_listener; // stops before the queue goes
};
