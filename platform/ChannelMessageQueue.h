#pragma once
#include "platform/InstanceChannel.h"

#include <deque>
#include <mutex>
#include <optional>

// Hands channel records from the listener thread to the thread that acts on them, in order.
// WaitFd() is readable while records are waiting, so the consumer can poll it beside
// other descriptors.
namespace platform {

class ChannelMessageQueue {
public:
    ChannelMessageQueue();
    ~ChannelMessageQueue();
    ChannelMessageQueue(const ChannelMessageQueue&) = delete;
    ChannelMessageQueue& operator=(const ChannelMessageQueue&) = delete;

    void Push(const ChannelMessage& message);
    std::optional<ChannelMessage> TryPop();
    // Blocks until a record is waiting or the timeout (ms, -1 = none) passes.
    std::optional<ChannelMessage> WaitPop(int timeoutMs);
    int WaitFd() const { return m_eventFd; }

private:
    std::mutex m_lock;
    std::deque<ChannelMessage> m_messages;
    int m_eventFd;
};

} // namespace platform
