// Added latency of a remapped key: from the moment a key event leaves the filter (the monitor's
// wait returns) to the injection write on the virtual device, over 100 000 events on the
// simulated devices; also the monitor thread's CPU time for the same stretch.
#include "platform/SimulatedFilterDevice.h"
#include "softkeys/HeadlessHost.h"
#include "softkeys/SoftKeyExecution.h"
#include "store/DataStore.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kEvents = 100000;
constexpr int kKeyCode = 0x3A;

int64_t Nanos(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// One sample per event, written by the monitor thread only.
struct Samples {
    std::vector<int64_t> wall;
    std::vector<int64_t> cpu;
    int64_t leftWall = 0;
    int64_t leftCpu = 0;
};

// The simulated filter, noting when an event leaves it.
class TimedFilter : public platform::SimulatedFilterDevice {
public:
    explicit TimedFilter(Samples& s) : samples_(s) {}
    bool DeviceControl(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override
    {
        const bool ok = SimulatedFilterDevice::DeviceControl(code, in, out);
        if (ok && code == platform::kFilterWaitKeyEvent) {
            samples_.leftWall = Nanos(CLOCK_MONOTONIC);
            samples_.leftCpu = Nanos(CLOCK_THREAD_CPUTIME_ID);
        }
        return ok;
    }

private:
    Samples& samples_;
};

// A virtual device that only notes when a report arrives.
class TimedDevice : public platform::VirtualHidDevice {
public:
    explicit TimedDevice(Samples& s) : samples_(s) {}
    bool Find() override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Write(const platform::InjectionReport&) override
    {
        if (samples_.leftWall != 0) {
            samples_.wall.push_back(Nanos(CLOCK_MONOTONIC) - samples_.leftWall);
            samples_.cpu.push_back(Nanos(CLOCK_THREAD_CPUTIME_ID) - samples_.leftCpu);
            samples_.leftWall = 0;
        }
        return true;
    }

private:
    Samples& samples_;
    bool open_ = false;
};


double Percentile(std::vector<int64_t> v, double p)
{
    std::sort(v.begin(), v.end());
    return static_cast<double>(v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))]);
}

} // namespace

int main()
{
    Samples samples;
    samples.wall.reserve(kEvents);
    samples.cpu.reserve(kEvents);
    DataStore store;
    if (!store.OpenDatabaseFile(L":memory:"))
        return 1;
    KeyMacroData key;
    key.profile = 1;
    key.key_code = kKeyCode;
    key.macro_type = 2;
    key.macro_value = 4;
    store.SaveKeyAssignment(key);

    VHidev vhid(std::make_unique<TimedDevice>(samples));
    auto filter = std::make_unique<TimedFilter>(samples);
    TimedFilter* keys = filter.get();
    FilterMonitor monitor(std::move(filter));
    HeadlessSoftKeyHost host;
    HeadlessClipboard clipboard;
    HeadlessShell shell;
    SoftKeyExecution exec(vhid, monitor, store, host, clipboard, shell);
    vhid.ReopenVirtualDevice();
    monitor.AddProxy(&exec, &SoftKeyExecution::OnFilterKeyEvent);
    monitor.OpenFilter();
    exec.RefreshKeyTable();
    keys->WaitUntilHandled();

    for (int i = 0; i < kEvents; ++i) {
        keys->PressPhysicalKey(kKeyCode, i % 2 == 0);
        keys->WaitUntilHandled();
    }
    monitor.StopMonitor();
    if (samples.wall.size() != static_cast<size_t>(kEvents))
        return 2;

    double cpuTotal = 0;
    for (int64_t c : samples.cpu)
        cpuTotal += static_cast<double>(c);
    std::printf("remap_latency_p50: %.2f us\n", Percentile(samples.wall, 0.50) / 1000.0);
    std::printf("remap_latency_p99: %.2f us\n", Percentile(samples.wall, 0.99) / 1000.0);
    std::printf("remap_cpu_per_event: %.2f us\n", cpuTotal / kEvents / 1000.0);
    return 0;
}
