#include "softkeys/FilterMonitor.h"

#include "platform/ProcessSignals.h"

#include <chrono>

namespace {
constexpr auto kIdlePause = std::chrono::milliseconds(10);
}

FilterMonitor::FilterMonitor(std::unique_ptr<platform::FilterDevice> device) : device_(std::move(device))
{
    platform::AddEmergencyAction(&FilterMonitor::EmergencyRelease, this);
}

FilterMonitor::~FilterMonitor()
{
    platform::RemoveEmergencyAction(&FilterMonitor::EmergencyRelease, this);
    StopMonitor();
}

void FilterMonitor::EmergencyRelease(void* self) noexcept
{
    static_cast<FilterMonitor*>(self)->device_->EmergencyRelease();
}

bool FilterMonitor::OpenFilter()
{
    return device_->IsOpen() || device_->Open();
}

bool FilterMonitor::IsFilterOpen() const
{
    return device_->IsOpen();
}

void FilterMonitor::AddProxy(std::unique_ptr<HidUsbFilter::IMonitorProxy> proxy)
{
    std::lock_guard lock(proxyMutex_);
    for (const auto& p : proxies_)
        if (p->SameAs(*proxy))
            return;
    proxies_.push_back(std::move(proxy));
}

size_t FilterMonitor::ProxyCount() const
{
    std::lock_guard lock(proxyMutex_);
    return proxies_.size();
}

void FilterMonitor::StartMonitor()
{
    StopMonitor();
    device_->ResetCancel();
    const uint64_t id = ++nextId_;
    threadId_ = id;
    thread_ = std::thread([this, id] { Run(id); });
}

void FilterMonitor::StopMonitor()
{
    threadId_ = 0;
    device_->CancelPendingIo();
    {
        std::lock_guard lock(idleMutex_);
        idleWake_.notify_all();
    }
    // A proxy that stops the monitor from its own event cannot wait for itself.
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
    else if (thread_.joinable())
        thread_.detach();
}

bool FilterMonitor::IsMonitorRunning() const
{
    return threadId_ != 0;
}

bool FilterMonitor::SendKeyTable(const platform::KeyTable& table)
{
    return device_->DeviceControl(platform::kFilterSetKeyTable, table.Bytes(), {});
}

bool FilterMonitor::SendZeroKeyTable()
{
    static constexpr uint8_t kZero[platform::kZeroKeyTableBytes] = {};
    return device_->DeviceControl(platform::kFilterSetKeyTable, kZero, {});
}

bool FilterMonitor::SendControl(uint32_t code)
{
    return device_->DeviceControl(code, {}, {});
}

void FilterMonitor::Run(uint64_t id)
{
    while (threadId_ == id) {
        bool haveProxies = false;
        {
            std::lock_guard lock(proxyMutex_);
            haveProxies = !proxies_.empty();
        }
        platform::FilterKeyEvent event;
        if (haveProxies && device_->DeviceControl(platform::kFilterWaitKeyEvent, {}, event.bytes)) {
            Dispatch(event);
            continue;
        }
        std::unique_lock lock(idleMutex_);
        idleWake_.wait_for(lock, kIdlePause, [&] { return threadId_ != id; });
    }
}

bool FilterMonitor::Dispatch(const platform::FilterKeyEvent& event)
{
    std::lock_guard lock(proxyMutex_);
    for (const auto& p : proxies_)
        if (p->OnKeyEvent(event.Byte2(), event.Code(), event.Pressed()) != 0)
            return true;
    return false;
}
