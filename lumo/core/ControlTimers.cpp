#include "ControlTimers.h"

#include "lumo/MControl.h"
#include "lumo/MessageLoop.h"
#include "lumo/PaintManager.h"

namespace Lumo {

UINT ControlTimers::NextId()
{
    // Ids run 1..239; the overlay's and 0 are skipped so control timers never steal them.
    for (;;) {
        m_counter = (m_counter + 1) % 240;
        if (m_counter != 0 && m_counter != TIMER_OVERLAY_HOLD && m_counter != TIMER_OVERLAY_FADE &&
            m_counter != TIMER_PROGRESS)
            return m_counter;
    }
}

int ControlTimers::Set(HWND hwnd, MControl* control, UINT key, UINT ms)
{
    if (!hwnd || !control)
        return 0;
    std::lock_guard lock(m_lock);
    for (auto& e : m_entries) {
        if (e.control == control && e.hwnd == hwnd && e.key == key) {
            if (!e.killed)
                return 0;
            e.killed = false;
            return SetWindowTimer(hwnd, e.timerId, ms) ? 1 : 0;
        }
    }
    Entry e{hwnd, key, NextId(), false, control};
    if (!SetWindowTimer(hwnd, e.timerId, ms))
        return 0;
    m_entries.push_back(e);
    return 1;
}

int ControlTimers::Kill(HWND hwnd, MControl* control, UINT key)
{
    std::lock_guard lock(m_lock);
    for (auto& e : m_entries) {
        if (e.control == control && e.hwnd == hwnd && e.key == key && !e.killed) {
            KillWindowTimer(hwnd, e.timerId);
            e.killed = true;
            return 1;
        }
    }
    return 0;
}

int ControlTimers::KillAll(HWND hwnd, MControl* control)
{
    std::lock_guard lock(m_lock);
    int n = 0;
    std::erase_if(m_entries, [&](const Entry& e) {
        if (e.control != control)
            return false;
        if (!e.killed)
            KillWindowTimer(hwnd, e.timerId);
        ++n;
        return true;
    });
    return n;
}

void ControlTimers::Clear(HWND hwnd)
{
    std::lock_guard lock(m_lock);
    for (const auto& e : m_entries) {
        if (!e.killed)
            KillWindowTimer(hwnd, e.timerId);
    }
    m_entries.clear();
}

bool ControlTimers::Dispatch(UINT timerId)
{
    std::lock_guard lock(m_lock);
    bool any = false;
    // By index: a control's tick may take out further timers.
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].timerId == timerId && !m_entries[i].killed) {
            any = true;
            m_entries[i].control->OnTimer();
        }
    }
    return any;
}

UINT ControlTimers::TimerIdOf(const MControl* control, UINT key) const
{
    std::lock_guard lock(m_lock);
    for (const auto& e : m_entries) {
        if (e.control == control && e.key == key)
            return e.timerId;
    }
    return 0;
}

} // namespace Lumo
