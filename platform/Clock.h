#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

// Time for protocol pauses and cycles. Production sleeps for real; tests and benchmarks use
// the manual clock, which only moves when slept on and records every pause it was asked for.
namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic microseconds.
    virtual std::int64_t NowMicros() = 0;
    virtual void SleepMs(int ms) = 0;
};

// The steady clock and real sleeps.
Clock& SystemClock();

class ManualClock : public Clock {
public:
    std::int64_t NowMicros() override;
    // Advances the time by the pause and records it; returns at once.
    void SleepMs(int ms) override;
    void AdvanceMicros(std::int64_t micros);
    std::vector<int> Pauses() const;
    void ClearPauses();

private:
    mutable std::mutex mutex_;
    std::int64_t now_ = 0;
    std::vector<int> pauses_;
};

} // namespace platform
