#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "device/Detection.h"
#include "device/DeviceLink.h"
#include "device/KeyTables.h"
#include "device/Uploads.h"
#include "device/WorkerHost.h"
#include "device/WorkerQueues.h"
#include "device/WorkerThread.h"
#include "devicedesc/DeviceEntry.h"
#include "platform/Clock.h"

class DataStore;

// The main window's worker: every 16 ms it runs the first queued task (or, when idle, streams
// the lighting page's colours), then plays one queued macro.
namespace keystead::device {

namespace Task {
constexpr int FirstDetection = 1;
constexpr int DetectAfterArrival = 2;
constexpr int DetectAfterRemoval = 3;
constexpr int OtherModelPicked = 4;
constexpr int RefreshPages = 5;
constexpr int UploadKeys = 6;
constexpr int UploadLighting = 7;
constexpr int UploadColours = 8;
constexpr int FactoryReset = 10;
constexpr int SoftwareCheck = 12;
constexpr int FirmwareCheck = 13;
constexpr int SoftwareDownload = 14;
constexpr int FirmwareDownload = 15;
constexpr int FirmwareTool = 16;
} // namespace Task

inline constexpr int kLightingTabIndex = 3;

class DeviceWorker : public CThreadBasic {
public:
    DeviceWorker(WorkerQueues& queues, DeviceLink& link, DataStore& store, WorkerHost& host,
        platform::Clock& clock = platform::SystemClock());
    ~DeviceWorker() override;

    void SetMacroPlayer(MacroPlayer* player);
    void SetUpdateTaskRunner(UpdateTaskRunner* runner);

    // The mode list of the product configuration (one entry per HID identity).
    void SetModeList(std::vector<DeviceEntry> modes);
    std::vector<DeviceEntry> ModeList() const;
    // An arrival or removal notification (any thread): queues task 2 or 3 when it is ours.
    void OnDeviceChange(platform::DeviceChange change, const std::string& identity);

    // The lighting page picked another mode: the next family-A upload sends the mode (0x88)
    // instead of its parameters (0x89).
    void RequestLightingMode();
    ConnectionFlags Flags() const;
    KeyToSlotMap KeyToSlot() const;

    // One cycle; the thread runs it every 16 ms, tests call it directly.
    void Cycle() override;
    // Detection and connection state; queues 13 and 5 when a keyboard is usable.
    void RunDetection();

private:
    void RunTask(int task);
    UploadSession Session() const;
    void StreamIdleColours();

    WorkerQueues& queues_;
    DeviceLink& link_;
    DataStore& store_;
    WorkerHost& host_;
    MacroPlayer* player_ = nullptr;
    UpdateTaskRunner* updates_ = nullptr;
    mutable std::mutex stateMutex_; // flags, mode list, key-to-slot map
    ConnectionFlags flags_;
    std::vector<DeviceEntry> modes_;
    KeyToSlotMap keyToSlot_;
    std::atomic<bool> lightingParamsSent_{true};
    bool firstDetectionDone_ = false;
};

} // namespace keystead::device
