#include "platform/ChannelMessageQueue.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

ChannelMessageQueue::ChannelMessageQueue() : m_eventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ChannelMessageQueue::~ChannelMessageQueue()
{
    if (m_eventFd >= 0)
        ::close(m_eventFd);
}

void ChannelMessageQueue::Push(const ChannelMessage& message)
{
    std::lock_guard lock(m_lock);
    m_messages.push_back(message);
    const std::uint64_t one = 1;
    // Fails only when the counter is full, and then the descriptor is readable already.
    [[maybe_unused]] const ssize_t signalled = ::write(m_eventFd, &one, sizeof one);
}

std::optional<ChannelMessage> ChannelMessageQueue::TryPop()
{
    std::lock_guard lock(m_lock);
    if (m_messages.empty())
        return std::nullopt;
    const ChannelMessage message = m_messages.front();
    m_messages.pop_front();
    if (m_messages.empty()) {
        std::uint64_t count;
        [[maybe_unused]] const ssize_t drained = ::read(m_eventFd, &count, sizeof count);
    }
    return message;
}

std::optional<ChannelMessage> ChannelMessageQueue::WaitPop(int timeoutMs)
{
    if (auto message = TryPop())
        return message;
    pollfd fd{m_eventFd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&fd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return TryPop();
}

} // namespace platform
