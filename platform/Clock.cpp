#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
public:
    std::int64_t NowMicros() override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void SleepMs(int ms) override
    {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

} // namespace

Clock& SystemClock()
{
    static SteadyClock clock;
    return clock;
}

std::int64_t ManualClock::NowMicros()
{
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualClock::SleepMs(int ms)
{
    std::lock_guard lock(mutex_);
    pauses_.push_back(ms);
    if (ms > 0)
        now_ += std::int64_t{ms} * 1000;
}

void ManualClock::AdvanceMicros(std::int64_t micros)
{
    std::lock_guard lock(mutex_);
    now_ += micros;
}

std::vector<int> ManualClock::Pauses() const
{
    std::lock_guard lock(mutex_);
    return pauses_;
}

void ManualClock::ClearPauses()
{
    std::lock_guard lock(mutex_);
    pauses_.clear();
}

} // namespace platform
