#include "shell/InstanceControl.h"

#include "platform/TextCodec.h"
#include "shell/InstanceMessages.h"

InstanceControl::InstanceControl(const std::wstring& deviceName) : m_guard(platform::ToUtf8(deviceName)) {}

bool InstanceControl::OtherInstanceRuns() const
{
    return m_guard.GetState() == platform::InstanceGuard::State::OtherRunning;
}

bool InstanceControl::RaiseOtherInstance() const
{
    const platform::ChannelMessage raise{InstanceMessages::kRaiseWindow, 0, 0};
    return platform::SendToInstance(m_guard.ChannelPath(), {&raise, 1});
}

bool InstanceControl::Listen()
{
    // Without the lock another instance may own the channel; without a lock at all
    // (no usable folder) there is no channel either.
    if (m_guard.GetState() != platform::InstanceGuard::State::Owner)
        return false;
    if (!m_listener)
        m_listener = platform::InstanceChannelListener::Start(
            m_guard.ChannelPath(), [this](const platform::ChannelMessage& m) { m_messages.Push(m); });
    return m_listener != nullptr;
}
