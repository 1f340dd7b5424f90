#pragma once
#include "platform/DeviceLog.h"
#include "platform/VirtualHidDevice.h"

#include <mutex>
#include <string>
#include <vector>

// A virtual device that records every report written to it. It can be made to disappear and
// come back, to model the device being removed while the program runs.
namespace platform {

class SimulatedVirtualHidDevice : public VirtualHidDevice {
public:
    explicit SimulatedVirtualHidDevice(const std::string& logPath = {});

    bool Find() override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const InjectionReport& report) override;
    void EmergencyRelease() noexcept override;

    void SetPresent(bool present);
    std::vector<InjectionReport> Reports() const;
    void ClearReports();
    // How many times the device list was searched (Find with no device open).
    int Searches() const;

private:
    mutable std::mutex mutex_;
    bool present_ = true;
    bool open_ = false;
    int searches_ = 0;
    std::vector<InjectionReport> reports_;
    DeviceLog log_;
};

} // namespace platform
