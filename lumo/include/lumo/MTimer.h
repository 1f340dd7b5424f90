#pragma once
#include "lumo/Types.h"

#include <mutex>
#include <string>
#include <vector>

namespace Lumo {

// Periodic high-resolution timers whose callbacks run on the library's tick thread,
// not on the window thread. Every live MTimer is listed process-wide, so a tick for a
// timer that has been killed finds nobody.
class MTimer {
public:
    struct Entry {
        UINT id = 0;
        std::wstring name;
        int appTimer = 0;
    };

    MTimer();
    virtual ~MTimer();
    MTimer(const MTimer&) = delete;
    MTimer& operator=(const MTimer&) = delete;

    // Called for application timers, after OnMTimer(id).
    virtual void OnMTimer(UINT id, const std::wstring& name);
    // Called on every tick of every timer of this object.
    virtual void OnMTimer(UINT id) = 0;

    // Starts a periodic timer; returns its id, 0 when the system refuses it (the entry is
    // kept with id 0 then).
    UINT SetTimer(UINT intervalMs, const std::wstring& name = L"", int appTimer = 0);
    // Both return the number of timers left.
    int KillTimer(UINT id);
    int KillTimer(const std::wstring& name);
    void KillTimer();
    bool GetTimerIsRun(UINT id) const;
    bool GetTimerIsRun(const std::wstring& name) const;
    std::wstring GetTimerName(UINT id) const;
    bool IsAppTimer(UINT id) const;

    // The live MTimer owning a timer id, or null.
    static MTimer* GetFSTimer(UINT id);
    // The tick callback: hands the tick to the owner of id.
    static void TimerCallProc(UINT id);

    // Resolution the first SetTimer of the process settles on, from the device's range:
    // the minimum, but at least 1 ms when below 2, and at most the maximum.
    static UINT ChooseResolution(UINT deviceMin, UINT deviceMax);
    static UINT m_uAccuracy;
    static bool m_bIsTmierOK;

private:
    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
};

} // namespace Lumo
