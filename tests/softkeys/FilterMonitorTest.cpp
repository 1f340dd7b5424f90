#include "platform/SimulatedFilterDevice.h"
#include "softkeys/FilterMonitor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct Counter {
    int OnKey(uint8_t, uint16_t code, bool pressed)
    {
        if (pressed)
            sum += code;
        return consume ? 1 : 0;
    }
    int OnOther(uint8_t, uint16_t, bool) { return 0; }
    std::atomic<int> sum{0};
    bool consume = true;
};

class FilterMonitorTest : public ::testing::Test {
protected:
    FilterMonitorTest()
    {
        auto filter = std::make_unique<platform::SimulatedFilterDevice>();
        filter_ = filter.get();
        monitor_ = std::make_unique<FilterMonitor>(std::move(filter));
        EXPECT_TRUE(monitor_->OpenFilter());
        platform::KeyTable table;
        for (uint16_t i = 0; i < 8; ++i)
            table.entries[i] = platform::KeyTableEntry::ForCode(static_cast<uint16_t>(i + 1));
        EXPECT_TRUE(monitor_->SendKeyTable(table));
    }
    platform::SimulatedFilterDevice* filter_ = nullptr;
    std::unique_ptr<FilterMonitor> monitor_;
};

TEST_F(FilterMonitorTest, SameTargetAndHandlerIsRegisteredOnce)
{
    Counter a, b;
    monitor_->AddProxy(&a, &Counter::OnKey);
    monitor_->AddProxy(&a, &Counter::OnKey);
    monitor_->AddProxy(&a, &Counter::OnOther);
    monitor_->AddProxy(&b, &Counter::OnKey);
    EXPECT_EQ(monitor_->ProxyCount(), 3u);
}

TEST_F(FilterMonitorTest, EventGoesToProxiesInOrderUntilOneConsumesIt)
{
    Counter first, second;
    first.consume = false;
    monitor_->AddProxy(&first, &Counter::OnKey);
    monitor_->AddProxy(&second, &Counter::OnKey);
    Counter third;
    monitor_->AddProxy(&third, &Counter::OnKey);
    monitor_->StartMonitor();
    filter_->PressPhysicalKey(3, true);
    ASSERT_TRUE(filter_->WaitUntilHandled());
    EXPECT_EQ(first.sum, 3);
    EXPECT_EQ(second.sum, 3);
    EXPECT_EQ(third.sum, 0);
}

TEST_F(FilterMonitorTest, ProxiesAddedWhileEventsFlowAreSafeAndEveryEventIsDelivered)
{
    Counter sink;
    monitor_->AddProxy(&sink, &Counter::OnKey);
    monitor_->StartMonitor();
    std::vector<Counter> extra(50);
    for (auto& e : extra)
        e.consume = false;
    std::thread adder([&] {
        for (auto& e : extra) {
            monitor_->AddProxy(&e, &Counter::OnOther);
            monitor_->AddProxy(&e, &Counter::OnOther);
        }
    });
    int expected = 0;
    for (int i = 0; i < 400; ++i) {
        const uint16_t code = static_cast<uint16_t>(1 + i % 8);
        filter_->PressPhysicalKey(code, true);
        filter_->PressPhysicalKey(code, false);
        expected += code;
    }
    adder.join();
    ASSERT_TRUE(filter_->WaitUntilHandled());
    EXPECT_EQ(sink.sum, expected);
    EXPECT_EQ(monitor_->ProxyCount(), 51u);
}

TEST_F(FilterMonitorTest, StopEndsPendingWaitAndRestartDeliversAgain)
{
    Counter sink;
    monitor_->AddProxy(&sink, &Counter::OnKey);
    monitor_->StartMonitor();
    ASSERT_TRUE(filter_->WaitUntilHandled());  // waiting for a key
    monitor_->StopMonitor();
    EXPECT_FALSE(monitor_->IsMonitorRunning());
    EXPECT_FALSE(filter_->HasWaiter());

    filter_->PressPhysicalKey(5, true);  // queued while stopped
    monitor_->StartMonitor();
    ASSERT_TRUE(filter_->WaitUntilHandled());
    EXPECT_EQ(sink.sum, 5);
}

TEST(FilterMonitorClosed, ControlsFailAndMonitorIdlesWithoutFilter)
{
    auto filter = std::make_unique<platform::SimulatedFilterDevice>();
    filter->SetPresent(false);
    FilterMonitor monitor(std::move(filter));
    EXPECT_FALSE(monitor.OpenFilter());
    EXPECT_FALSE(monitor.SendZeroKeyTable());
    EXPECT_FALSE(monitor.SendControl(platform::kFilterTableLoaded));
    Counter sink;
    monitor.AddProxy(&sink, &Counter::OnKey);
    monitor.StartMonitor();
    std::this_thread::yield();
    monitor.StopMonitor();  // returns although no event can ever come
    EXPECT_EQ(sink.sum, 0);
}

} // namespace
