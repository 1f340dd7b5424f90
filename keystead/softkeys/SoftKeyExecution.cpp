#include "softkeys/SoftKeyExecution.h"

#include "keys/KeyFunction.h"
#include "softkeys/DriverInstaller.h"
#include "store/DataStore.h"

#include <cwchar>

namespace {

constexpr int kTypeTextPauseMs = 100;
constexpr int kCtrlUsage = 224;
constexpr int kVUsage = 25;

// _wtoi: leading blanks, an optional sign, then decimal digits; 0 when there are none.
int DecimalValue(const std::wstring& text)
{
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

} // namespace

platform::KeyTable BuildKeyTable(const std::vector<KeyMacroData>& assignments, std::map<int, KeyMacroData>& keyMap)
{
    platform::KeyTable table;
    keyMap.clear();
    size_t n = 0;
    for (const auto& key : assignments) {
        if (n == platform::kKeyTableEntries)
            break;
        table.entries[n++] = platform::KeyTableEntry::ForCode(static_cast<uint16_t>(key.key_code));
        keyMap[key.key_code] = key;
    }
    return table;
}

SoftKeyExecution::SoftKeyExecution(VHidev& vhid, FilterMonitor& monitor, DataStore& store, SoftKeyHost& host,
                                   platform::Clipboard& clipboard, platform::Shell& shell, PauseFunction pause)
    : vhid_(vhid), monitor_(monitor), store_(store), host_(host), clipboard_(clipboard), shell_(shell),
      pause_(std::move(pause))
{
}

bool SoftKeyExecution::Start(DriverInstaller& installer)
{
    if (!vhid_.ReopenVirtualDevice()) {
        installer.RemoveVirtualDevice();
        if (installer.InstallDrivers())
            vhid_.ReopenVirtualDevice();
    }
    if (!vhid_.ReopenVirtualDevice())
        return false;
    vhid_.ReleaseAll();
    monitor_.AddProxy(this, &SoftKeyExecution::OnFilterKeyEvent);
    monitor_.OpenFilter();
    return true;
}

void SoftKeyExecution::RefreshKeyTable()
{
    // Everything injected so far is released first, so a key held across the change is not left down.
    vhid_.ReleaseAll();
    monitor_.StopMonitor();
    monitor_.SendZeroKeyTable();

    std::vector<KeyMacroData> assignments;
    store_.GetLayerAssignments(host_.CurrentProfileId(), host_.CurrentLayer(), assignments);
    const platform::KeyTable table = BuildKeyTable(assignments, keyMap_);
    monitor_.SendKeyTable(table);

    monitor_.StopMonitor();
    monitor_.SendControl(platform::kFilterTableLoaded);
    monitor_.SendControl(platform::kFilterTableApplied);
    monitor_.StartMonitor();
}

int SoftKeyExecution::OnFilterKeyEvent(uint8_t, uint16_t keyCode, bool pressed)
{
    const auto it = keyMap_.find(keyCode);
    if (it == keyMap_.end())
        return 0;
    Execute(it->second, pressed);
    return 1;
}

void SoftKeyExecution::Execute(const KeyMacroData& key, bool pressed)
{
    switch (key.macro_type) {
    case KeyKind::Key:
        if (!vhid_.EnsureVirtualDevice())
            return;
        if (key.macro_value < 232)
            vhid_.PressKey(key.macro_value, pressed);
        else
            vhid_.SendConsumer(key.macro_value, pressed);
        return;
    case KeyKind::Mouse: {
        if (!vhid_.EnsureVirtualDevice())
            return;
        const int bit = MouseButtonBit(key.macro_value);
        if (bit >= 0)
            vhid_.SetMouseButton(bit, pressed);
        return;
    }
    case KeyKind::Shortcut: {
        const auto steps = SystemShortcut(key.macro_value);
        if (!pressed || steps.empty() || !vhid_.EnsureVirtualDevice())
            return;
        for (size_t i = 0; i < steps.size(); ++i) {
            vhid_.PressKey(steps[i].usage, steps[i].press);
            if (i + 1 < steps.size())
                pause_(kShortcutStepDelayMs);
        }
        vhid_.ReleaseAll();
        return;
    }
    case KeyKind::Macro:
        if (pressed)
            host_.QueueMacro(key.macro_value);
        return;
    default:  // disabled and every other kind: the key is only held back
        return;
    }
}

void SoftKeyExecution::RunKeyOtherData(int macroValue)
{
    std::wstring desc;
    std::wstring param;
    int type = 0;
    store_.GetKeyOtherData(macroValue, desc, param, type);
    switch (type) {
    case KeyKind::Launch:
        shell_.Open(param);
        break;
    case KeyKind::WebAddress: {
        std::wstring address = desc;
        if (!address.empty() && address.find(L"www.") == std::wstring::npos)
            address = L"www." + address;
        // The desktop's opener needs a scheme to know an address from a file name.
        if (!address.empty() && address.find(L"://") == std::wstring::npos)
            address = L"http://" + address;
        shell_.Open(address);
        break;
    }
    case KeyKind::TypeText:
        if (!desc.empty())
            TypeText(desc);
        break;
    case KeyKind::SwitchProfile:
        host_.SwitchProfile(DecimalValue(param));
        break;
    default:
        break;
    }
}

void SoftKeyExecution::TypeText(const std::wstring& text)
{
    clipboard_.SetText(text);
    if (vhid_.EnsureVirtualDevice()) {
        vhid_.PressKey(kCtrlUsage, true);
        vhid_.PressKey(kVUsage, true);
        pause_(kTypeTextPauseMs);
        vhid_.PressKey(kVUsage, false);
        vhid_.PressKey(kCtrlUsage, false);
    }
    clipboard_.Clear();
}

void SoftKeyExecution::ShutDown()
{
    monitor_.StopMonitor();
    if (monitor_.IsFilterOpen())
        monitor_.SendZeroKeyTable();
    vhid_.ShutDown();
}
