#pragma once
#include "update/UpdateSources.h"

#include <string>

namespace platform {
class WindowPoster;
}

enum class UpgradeTarget { Software, Firmware };

// What the update tasks need of the main window. They run on the worker thread; the
// window implements these by posting to itself or under its own locks.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    virtual UpdateSources GetUpdateSources() = 0;
    virtual void KillTimer(int id) = 0;
    // The badge of the software or firmware upgrade button.
    virtual void SetUpgradeStatus(UpgradeTarget target, int status) = 0;
    virtual void QueueTask(int task) = 0;
    // Where download progress is posted; null for nowhere.
    virtual platform::WindowPoster* ProgressWindow() = 0;
    // Asks the user whether a downloaded program that carries no signature may be
    // started (the message box); true when the user agrees.
    virtual bool AgreeToStart(const std::wstring& program) = 0;
    // Ends this process at once with exit code 0, after a program took over.
    virtual void EndProcess() = 0;
};

// The keyboard as the firmware tasks need it (the device link).
class FirmwareDevice {
public:
    virtual ~FirmwareDevice() = default;
    // The keyboard's firmware version, or -1 when the query fails.
    virtual int ReadFirmwareVersion() = 0;
    // Closes every open keyboard interface, so a firmware tool can open the keyboard.
    virtual void CloseAll() = 0;
    // Looks for the keyboard again, as after a device change.
    virtual void RunDetection() = 0;
};
