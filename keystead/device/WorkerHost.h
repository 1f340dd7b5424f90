#pragma once
#include <vector>

#include "device/Detection.h"
#include "device/KeyTables.h"

// What the worker needs of the main window, which implements these. The worker calls them on
// its own thread; the window hands page work over to its user-interface thread as it sees fit.
namespace keystead::device {

class WorkerHost : public DeviceStatusView {
public:
    // The window's state as a task sees it.
    virtual int CurrentProfileId() = 0;
    virtual int CurrentLayer() = 0;
    virtual int CurrentDeviceType() = 0;
    // Key code -> key_index of the selected model's layout.
    virtual KeyIndexMap KeyPositions() = 0;
    // Page flags of the layout: bit 0 key page, bit 1 macro page, bit 2 lighting page.
    virtual unsigned PageFlags() = 0;

    // Disabled while a task from 4 upwards runs.
    virtual void EnableMainWindow(bool enable) = 0;
    // Ends the wait dialog of an upload if one is open (or opens later).
    virtual void CloseWaitDialog() = 0;
    virtual void ReloadMacroList() = 0;
    // The profile list with its key assignments.
    virtual void ReloadProfileList() = 0;
    // The software key table (filter monitor) from the current profile.
    virtual void RefreshKeyTable() = 0;
    // The lighting page and the music-lighting settings.
    virtual void ReloadLightingPage() = 0;
    // Once, after the first detection.
    virtual void StartMusicAnalyser() = 0;

    // The lighting page, for the colour stream of the idle cycle.
    virtual bool IsMainWindowVisible() = 0;
    virtual int CurrentTabIndex() = 0;
    // Mode and config_func of the lighting page's current effect, and its option selection.
    virtual int CurrentLightMode() = 0;
    virtual int CurrentLightConfigFunc() = 0;
    virtual int CurrentLightOption() = 0;
    // Each key of the keyboard picture with its current colour.
    virtual std::vector<KeyColour> PictureKeyColours() = 0;
};

// Software playback of queued macros.
class MacroPlayer {
public:
    virtual ~MacroPlayer() = default;
    virtual void PlayMacro(int macroId) = 0;
};

// The update tasks: 12 software check, 13 firmware check (which reads the keyboard's version
// with ReadKeyboardFirmware), 14 and 15 downloads, 16 firmware tool start.
class UpdateTaskRunner {
public:
    virtual ~UpdateTaskRunner() = default;
    virtual void RunUpdateTask(int task) = 0;
};

} // namespace keystead::device
