#pragma once
#include "Reports.h"

#include "platform/SimulatedFilterDevice.h"
#include "platform/SimulatedVirtualHidDevice.h"
#include "softkeys/DriverInstaller.h"
#include "softkeys/SoftKeyExecution.h"
#include "store/DataStore.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

class RecordingHost : public SoftKeyHost {
public:
    int CurrentProfileId() const override { return profile; }
    int CurrentLayer() const override { return 0; }
    void QueueMacro(int macroId) override
    {
        std::lock_guard lock(mutex);
        queued.push_back(macroId);
    }
    void SwitchProfile(int profileId) override { switchedTo.push_back(profileId); }

    std::vector<int> Queued()
    {
        std::lock_guard lock(mutex);
        return queued;
    }

    int profile = 1;
    std::mutex mutex;
    std::vector<int> queued;
    std::vector<int> switchedTo;
};

class RecordingClipboard : public platform::Clipboard {
public:
    bool SetText(const std::wstring& text) override
    {
        log.push_back(L"set:" + text);
        return true;
    }
    void Clear() override { log.push_back(L"clear"); }
    std::vector<std::wstring> log;
};

class RecordingShell : public platform::Shell {
public:
    bool Open(const std::wstring& target) override
    {
        opened.push_back(target);
        return true;
    }
    bool Start(const std::wstring&, const std::vector<std::wstring>&) override { return false; }
    std::vector<std::wstring> opened;
};

// The whole key path on simulated devices: store -> key table -> filter -> monitor thread ->
// execution -> virtual device.
class SoftKeyFixture : public ::testing::Test {
protected:
    SoftKeyFixture()
    {
        auto filter = std::make_unique<platform::SimulatedFilterDevice>();
        auto device = std::make_unique<platform::SimulatedVirtualHidDevice>();
        filter_ = filter.get();
        device_ = device.get();
        vhid_ = std::make_unique<VHidev>(std::move(device));
        monitor_ = std::make_unique<FilterMonitor>(std::move(filter));
        EXPECT_TRUE(store_.OpenDatabaseFile(L":memory:"));
        exec_ = std::make_unique<SoftKeyExecution>(*vhid_, *monitor_, store_, host_, clipboard_, shell_,
                                                   [this](int ms) { pauses_.push_back(ms); });
    }
    ~SoftKeyFixture() override { monitor_->StopMonitor(); }

    // Registers the handler and opens the filter, as start-up does with the drivers present.
    void StartUp()
    {
        ASSERT_TRUE(vhid_->ReopenVirtualDevice());
        monitor_->AddProxy(exec_.get(), &SoftKeyExecution::OnFilterKeyEvent);
        ASSERT_TRUE(monitor_->OpenFilter());
    }

    void Assign(int keyCode, int kind, int value, int profile = 1)
    {
        KeyMacroData key;
        key.profile = profile;
        key.key_code = keyCode;
        key.macro_type = kind;
        key.macro_value = value;
        ASSERT_GT(store_.SaveKeyAssignment(key), 0);
    }

    // A physical key press or release, and the monitor's reaction to it. Returns whether the filter
    // held the key back.
    bool Physical(int keyCode, bool pressed)
    {
        const bool held = filter_->PressPhysicalKey(static_cast<uint16_t>(keyCode), pressed);
        EXPECT_TRUE(filter_->WaitUntilHandled());
        return held;
    }

    // Reports written since the last call.
    std::vector<platform::InjectionReport> TakeReports()
    {
        auto r = device_->Reports();
        device_->ClearReports();
        return r;
    }

    DataStore store_;
    RecordingHost host_;
    RecordingClipboard clipboard_;
    RecordingShell shell_;
    std::vector<int> pauses_;
    platform::SimulatedFilterDevice* filter_ = nullptr;
    platform::SimulatedVirtualHidDevice* device_ = nullptr;
    std::unique_ptr<VHidev> vhid_;
    std::unique_ptr<FilterMonitor> monitor_;
    std::unique_ptr<SoftKeyExecution> exec_;
};
