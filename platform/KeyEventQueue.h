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

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<FilterKeyEvent> events_;
    bool cancelled_ = false;
    int waiters_ = 0;
};

} // namespace platform
