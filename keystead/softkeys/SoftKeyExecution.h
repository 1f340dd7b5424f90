#pragma once
#include "platform/Clipboard.h"
#include "platform/Shell.h"
#include "softkeys/FilterMonitor.h"
#include "softkeys/Pause.h"
#include "softkeys/VHidev.h"
#include "store/Records.h"

#include <map>
#include <string>

class DataStore;
class DriverInstaller;

// What the software key execution needs from the main window.
class SoftKeyHost {
public:
    virtual ~SoftKeyHost() = default;
    virtual int CurrentProfileId() const = 0;
    virtual int CurrentLayer() const = 0;
    // Appends a macro to the worker's play queue (under the queue lock).
    virtual void QueueMacro(int macroId) = 0;
    // Makes the profile current and shows its assignments on the keyboard picture.
    virtual void SwitchProfile(int profileId) = 0;
};

// Carries out key functions on the PC: keeps the filter's key table in step with the current
// profile's assignments, and answers each key event of the filter with injections through the
// virtual device or a macro for the worker.
class SoftKeyExecution {
public:
    SoftKeyExecution(VHidev& vhid, FilterMonitor& monitor, DataStore& store, SoftKeyHost& host,
                     platform::Clipboard& clipboard, platform::Shell& shell, PauseFunction pause = RealPause());

    // Start-up: finds the virtual device, reinstalling the drivers once when it is missing, then
    // registers the key-event handler and opens the filter. False when the virtual device is still
    // missing: the caller then shows the driver error and ends the program.
    bool Start(DriverInstaller& installer);
    // Sends the current profile's assigned keys to the filter and restarts the monitor.
    void RefreshKeyTable();
    // The key-event handler (monitor thread). Nonzero when the key has an assignment.
    int OnFilterKeyEvent(uint8_t byte2, uint16_t keyCode, bool pressed);
    // Runs the program, web address, text or profile function of a t_key_otherdata row.
    void RunKeyOtherData(int macroValue);
    // Pastes the text through the clipboard and Ctrl+V on the virtual device.
    void TypeText(const std::wstring& text);
    // At exit (also on SIGINT and SIGTERM): stops the monitor, empties the filter's key table and
    // releases every injected key for good.
    void ShutDown();

    // key_code -> assignment of the current key table.
    const std::map<int, KeyMacroData>& KeyMap() const { return keyMap_; }

private:
    void Execute(const KeyMacroData& key, bool pressed);

    VHidev& vhid_;
    FilterMonitor& monitor_;
    DataStore& store_;
    SoftKeyHost& host_;
    platform::Clipboard& clipboard_;
    platform::Shell& shell_;
    PauseFunction pause_;
    std::map<int, KeyMacroData> keyMap_;
};

// The key table for a list of assignments: one entry per assignment in list order, at most 256.
// Assignments beyond the table's room are left out of the map too, so they are neither held back
// nor executed.
platform::KeyTable BuildKeyTable(const std::vector<KeyMacroData>& assignments, std::map<int, KeyMacroData>& keyMap);
