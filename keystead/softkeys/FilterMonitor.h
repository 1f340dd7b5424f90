#pragma once
#include "platform/FilterDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace HidUsbFilter {

// Receives the filter's key events on the monitor thread. Returns nonzero when it consumed the event.
class IMonitorProxy {
public:
    virtual ~IMonitorProxy() = default;
    virtual int OnKeyEvent(uint8_t byte2, uint16_t keyCode, bool pressed) = 0;
    virtual bool SameAs(const IMonitorProxy& other) const = 0;
};

// A member function of a target object as a proxy.
template <class Target>
class MonitorProxy : public IMonitorProxy {
public:
    using Handler = int (Target::*)(uint8_t byte2, uint16_t keyCode, bool pressed);
    MonitorProxy(Target* target, Handler handler) : target_(target), handler_(handler) {}

    int OnKeyEvent(uint8_t byte2, uint16_t keyCode, bool pressed) override
    {
        return (target_->*handler_)(byte2, keyCode, pressed);
    }
    bool SameAs(const IMonitorProxy& other) const override
    {
        const auto* o = dynamic_cast<const MonitorProxy*>(&other);
        return o != nullptr && o->target_ == target_ && o->handler_ == handler_;
    }

private:
    Target* target_;
    Handler handler_;
};

} // namespace HidUsbFilter

// Owns the filter device and the monitor thread that waits for its key events and hands each
// to the registered proxies, in order, until one consumes it.
class FilterMonitor {
public:
    explicit FilterMonitor(std::unique_ptr<platform::FilterDevice> device);
    ~FilterMonitor();
    FilterMonitor(const FilterMonitor&) = delete;
    FilterMonitor& operator=(const FilterMonitor&) = delete;

    // Opens the filter's handles; false when the filter is not there (the controls then fail).
    bool OpenFilter();
    bool IsFilterOpen() const;
    platform::FilterDevice& Device() { return *device_; }

    template <class Target>
    void AddProxy(Target* target, typename HidUsbFilter::MonitorProxy<Target>::Handler handler)
    {
        AddProxy(std::make_unique<HidUsbFilter::MonitorProxy<Target>>(target, handler));
    }
    void AddProxy(std::unique_ptr<HidUsbFilter::IMonitorProxy> proxy);
    size_t ProxyCount() const;

    // Starts the monitor thread (a running one is stopped first).
    void StartMonitor();
    // Makes the thread stop, cancels its pending wait and waits for it to finish its current event.
    void StopMonitor();
    bool IsMonitorRunning() const;

    // The device controls; false when the filter is not open.
    bool SendKeyTable(const platform::KeyTable& table);
    bool SendZeroKeyTable();
    bool SendControl(uint32_t code);

private:
    void Run(uint64_t id);
    bool Dispatch(const platform::FilterKeyEvent& event);
    static void EmergencyRelease(void* self) noexcept;

    std::thread thread_;
    mutable std::mutex proxyMutex_;
    std::atomic<uint64_t> threadId_{0};  // 0 when the thread must stop
    uint64_t nextId_ = 0;
    std::unique_ptr<platform::FilterDevice> device_;
    std::vector<std::unique_ptr<HidUsbFilter::IMonitorProxy>> proxies_;
    // Wakes the idle pause early when the thread must stop.
    std::mutex idleMutex_;
    std::condition_variable idleWake_;
};
