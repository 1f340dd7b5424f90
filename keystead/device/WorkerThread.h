#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/Clock.h"

// The worker thread base: calls the cycle body, then sleeps for the period, until stopped.
namespace keystead::device {

class CThreadBasic {
public:
    static constexpr int kDefaultPeriodMs = 16;

    explicit CThreadBasic(platform::Clock& clock = platform::SystemClock());
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Does nothing while the thread runs.
    void Start();
    // Clears the running flag and waits until the current cycle has ended. A derived class
    // calls it from its destructor, before the members its cycle uses go away.
    void Stop();
    bool IsRunning() const { return running_; }
    int Period() const { return period_; }
    std::int64_t StartTick() const { return startTick_; }

protected:
    // One cycle of work.
    virtual void Cycle() = 0;

private:
    void Run();

    platform::Clock& clock_;
    std::atomic<bool> running_{false};
    int period_ = kDefaultPeriodMs;
    std::int64_t startTick_ = 0;
    std::thread thread_;
};

} // namespace keystead::device
