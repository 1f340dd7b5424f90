#include "platform/KeyEventQueue.h"

#include <chrono>

namespace platform {

void KeyEventQueue::Push(const FilterKeyEvent& event)
{
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    wake_.notify_all();
}

bool KeyEventQueue::Wait(FilterKeyEvent& event)
{
    std::unique_lock lock(mutex_);
    ++waiters_;
    wake_.notify_all();
    wake_.wait(lock, [&] { return cancelled_ || !events_.empty(); });
    --waiters_;
    wake_.notify_all();
    if (cancelled_)
        return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

void KeyEventQueue::Cancel()
{
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    wake_.notify_all();
}

void KeyEventQueue::ResetCancel()
{
    std::lock_guard lock(mutex_);
    cancelled_ = false;
}

bool KeyEventQueue::HasWaiter() const
{
    std::lock_guard lock(mutex_);
    return waiters_ > 0;
}

bool KeyEventQueue::WaitUntilDrained(int timeoutMs) const
{
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return events_.empty() && waiters_ > 0; });
}

} // namespace platform
