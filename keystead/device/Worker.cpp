#include "device/Worker.h"

#include "device/Uploads.h"
#include "store/DataStore.h"

namespace keystead::device {
namespace {

constexpr int kAfterTaskPauseMs = 100;

bool RunsWithoutKeyboard(int task)
{
    return task == Task::FirstDetection || task == Task::DetectAfterArrival || task == Task::DetectAfterRemoval
        || task == Task::SoftwareCheck;
}

bool OpensWaitDialog(int task)
{
    return task == Task::UploadKeys || task == Task::UploadLighting || task == Task::UploadColours
        || task == Task::FactoryReset;
}

} // namespace

DeviceWorker::DeviceWorker(WorkerQueues& queues, DeviceLink& link, DataStore& store, WorkerHost& host,
    platform::Clock& clock)
    : CThreadBasic(clock), queues_(queues), link_(link), store_(store), host_(host)
{
}

DeviceWorker::~DeviceWorker()
{
    Stop();
}

void DeviceWorker::SetMacroPlayer(MacroPlayer* player)
{
    player_ = player;
}

void DeviceWorker::SetUpdateTaskRunner(UpdateTaskRunner* runner)
{
    updates_ = runner;
}

void DeviceWorker::SetModeList(std::vector<DeviceEntry> modes)
{
    std::lock_guard lock(stateMutex_);
    modes_ = std::move(modes);
}

std::vector<DeviceEntry> DeviceWorker::ModeList() const
{
    std::lock_guard lock(stateMutex_);
    return modes_;
}

void DeviceWorker::OnDeviceChange(platform::DeviceChange change, const std::string& identity)
{
    int task = 0;
    {
        std::lock_guard lock(stateMutex_);
        task = HandleDeviceChange(change, identity, modes_, flags_.lastEvent);
    }
    if (task != 0)
        queues_.PushTask(task);
}

void DeviceWorker::RequestLightingMode()
{
    lightingParamsSent_ = false;
}

ConnectionFlags DeviceWorker::Flags() const
{
    std::lock_guard lock(stateMutex_);
    return flags_;
}

KeyToSlotMap DeviceWorker::KeyToSlot() const
{
    std::lock_guard lock(stateMutex_);
    return keyToSlot_;
}

UploadSession DeviceWorker::Session() const
{
    UploadSession s;
    s.profile = host_.CurrentProfileId();
    s.layer = host_.CurrentLayer();
    s.deviceType = host_.CurrentDeviceType();
    s.connectionMode = Flags().connectionMode;
    s.keyPositions = host_.KeyPositions();
    s.lightMode = host_.CurrentLightMode();
    s.lightOption = host_.CurrentLightOption();
    return s;
}

void DeviceWorker::RunDetection()
{
    std::vector<DeviceEntry> modes = ModeList();
    ConnectionFlags flags = Flags();
    DetectKeyboard(link_, modes, flags, host_);
    const bool usable = ApplyConnectionState(link_, host_.CurrentDeviceType(), flags, host_);
    {
        std::lock_guard lock(stateMutex_);
        flags.lastEvent = flags_.lastEvent; // a notification may have come meanwhile
        flags_ = flags;
        for (std::size_t i = 0; i < modes.size() && i < modes_.size(); ++i)
            modes_[i].state = modes[i].state;
    }
    if (usable) {
        queues_.PushTask(Task::FirmwareCheck);
        queues_.PushTask(Task::RefreshPages);
    }
}

void DeviceWorker::Cycle()
{
    bool ranOrIdle = true;
    if (const std::optional<int> task = queues_.FrontTask()) {
        const ConnectionFlags flags = Flags();
        if (RunsWithoutKeyboard(*task)) {
            RunTask(*task);
            queues_.PopTask();
            ranOrIdle = Flags().candidatesPresent;
        } else if (!flags.candidatesPresent || !flags.keyboardConnected) {
            queues_.PopTask();
            // The page that queued an upload waits in its modal dialog: end it too.
            if (OpensWaitDialog(*task))
                host_.CloseWaitDialog();
            return;
        } else {
            host_.EnableMainWindow(false);
            RunTask(*task);
            host_.EnableMainWindow(true);
            queues_.PopTask();
        }
    } else {
        if (!Flags().candidatesPresent)
            return;
        StreamIdleColours();
    }
    if (!ranOrIdle)
        return;
    if (const std::optional<int> macro = queues_.PopPlay(); macro && player_)
        player_->PlayMacro(*macro);
}

void DeviceWorker::StreamIdleColours()
{
    const int deviceType = host_.CurrentDeviceType();
    if (!host_.IsMainWindowVisible() || host_.CurrentTabIndex() != kLightingTabIndex || deviceType >= 200)
        return;
    if (!(host_.CurrentLightConfigFunc() & (kConfigFuncMusic | kConfigFuncScreen)))
        return;
    StreamColours(link_, Session(), host_.PictureKeyColours());
}

void DeviceWorker::RunTask(int task)
{
    platform::Clock& clock = link_.Clock();
    switch (task) {
    case Task::FirstDetection:
        if (firstDetectionDone_)
            return;
        firstDetectionDone_ = true;
        RunDetection();
        host_.StartMusicAnalyser();
        return;
    case Task::DetectAfterArrival:
    case Task::DetectAfterRemoval:
        RunDetection();
        return;
    case Task::RefreshPages: {
        const unsigned pages = host_.PageFlags();
        if (pages & 0x02)
            host_.ReloadMacroList();
        if (pages & 0x01) {
            host_.ReloadProfileList();
            host_.RefreshKeyTable();
        }
        if (pages & 0x04)
            host_.ReloadLightingPage();
        return;
    }
    case Task::UploadKeys: {
        const UploadSession s = Session();
        if (FamilyOf(s.deviceType) == Family::A) {
            KeyToSlotMap slots;
            UploadKeyMapOutput(link_, store_, s, slots);
            std::lock_guard lock(stateMutex_);
            keyToSlot_ = std::move(slots);
        } else if (FamilyOf(s.deviceType) == Family::B) {
            UploadKeySlots(link_, store_, s);
        }
        break;
    }
    case Task::UploadLighting: {
        const UploadSession s = Session();
        if (FamilyOf(s.deviceType) == Family::A)
            UploadLightingOutput(link_, store_, s, lightingParamsSent_);
        else if (FamilyOf(s.deviceType) == Family::B)
            UploadLightingFeature(link_, store_, s);
        break;
    }
    case Task::UploadColours:
        UploadCustomColours(link_, store_, Session());
        break;
    case Task::FactoryReset:
        if (ResetKeyboard(link_, Session())) {
            host_.ReloadMacroList();
            host_.ReloadProfileList();
            host_.ReloadLightingPage();
        }
        break;
    case Task::SoftwareCheck:
    case Task::FirmwareCheck:
    case Task::SoftwareDownload:
    case Task::FirmwareDownload:
    case Task::FirmwareTool:
        if (updates_)
            updates_->RunUpdateTask(task);
        return;
    default: // 4 and unknown numbers do nothing
        return;
    }
    host_.CloseWaitDialog();
    clock.SleepMs(kAfterTaskPauseMs);
}

} // namespace keystead::device
