#pragma once
#include "lumo/Types.h"

#include <mutex>
#include <vector>

namespace Lumo {

class MControl;

// Window timers taken out by controls: each {control, caller's key} gets a window timer id
// of its own; WM_TIMER with that id reaches the control's OnTimer.
class ControlTimers {
public:
    // 1 when started or restarted, 0 when that timer is already running or the window is missing.
    int Set(HWND hwnd, MControl* control, UINT key, UINT ms);
    int Kill(HWND hwnd, MControl* control, UINT key);
    int KillAll(HWND hwnd, MControl* control);
    void Clear(HWND hwnd);
    // Calls OnTimer of every live entry with this window timer id; false when there is none.
    bool Dispatch(UINT timerId);
    UINT TimerIdOf(const MControl* control, UINT key) const;

private:
    struct Entry {
        HWND hwnd;
        UINT key = 0;
        UINT timerId = 0;
        bool killed = false;
        MControl* control = nullptr;
    };
    UINT NextId();

    mutable std::recursive_mutex m_lock;
    std::vector<Entry> m_entries;
    UINT m_counter = 4096;
};

} // namespace Lumo
