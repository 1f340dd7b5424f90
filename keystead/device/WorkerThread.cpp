#include "device/WorkerThread.h"

namespace keystead::device {

CThreadBasic::CThreadBasic(platform::Clock& clock) : clock_(clock) {}

CThreadBasic::~CThreadBasic()
{
    Stop();
}

void CThreadBasic::Start()
{
    if (running_)
        return;
    if (thread_.joinable())
        thread_.join(); // a thread that was stopped before
    period_ = kDefaultPeriodMs;
    startTick_ = clock_.NowMicros() / 1000;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
}

void CThreadBasic::Run()
{
    while (running_) {
        Cycle();
        if (running_)
            clock_.SleepMs(period_);
    }
}

void CThreadBasic::Stop()
{
    running_ = false;
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

} // namespace keystead::device
