#pragma once
#include "platform/FilterDevice.h"

#include <condition_variable>
#include <deque>
#include <mutex>

// The filter's pending key events and the cancel signal of the wait for them.
namespace platform {

class KeyEventQueue {
public:
    void Push(const FilterKeyEvent& event);
    // Blocks until an event arrives (true) or the queue is cancelled (false).
    bool Wait(FilterKeyEvent& event);
    void Cancel();
    void ResetCancel();
    bool HasWaiter() const;
    // Blocks until every pushed event has been taken and a waiter is back waiting (its handling
    // of the earlier events is then over); false when that does not happen within the timeout.
    bool WaitUntilDrained(int timeoutMs) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    std::deque<FilterKeyEvent> events_;
    bool cancelled_ = false;
    int waiters_ = 0;
};

} // namespace platform
