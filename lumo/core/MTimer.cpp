#include "lumo/MTimer.h"

#include "TickService.h"

#include <algorithm>
#include <map>

namespace Lumo {
namespace {

// Live MTimers by timer id; a tick looks its owner up here under the lock.
std::mutex g_registryLock;
std::map<UINT, MTimer*>& Owners()
{
    static std::map<UINT, MTimer*> owners;
    return owners;
}

// The resolution the desktop's timer device offers, in milliseconds.
constexpr UINT kDeviceMin = 1;
constexpr UINT kDeviceMax = 1000000;

} // namespace

UINT MTimer::m_uAccuracy = 1;
bool MTimer::m_bIsTmierOK = false;

MTimer::MTimer() = default;

MTimer::~MTimer() { KillTimer(); }

void MTimer::OnMTimer(UINT, const std::wstring&) {}

UINT MTimer::ChooseResolution(UINT deviceMin, UINT deviceMax)
{
    UINT r = deviceMin < 2 ? 1 : deviceMin;
    return std::min(r, deviceMax);
}

UINT MTimer::SetTimer(UINT intervalMs, const std::wstring& name, int appTimer)
{
    if (!m_bIsTmierOK) {
        m_uAccuracy = ChooseResolution(kDeviceMin, kDeviceMax);
        m_bIsTmierOK = true;
    }
    std::lock_guard registry(g_registryLock);
    const UINT id = TickService::Start(intervalMs);
    {
        std::lock_guard lock(m_lock);
        m_entries.push_back(Entry{id, name, appTimer});
    }
    if (id)
        Owners()[id] = this;
    return id;
}

int MTimer::KillTimer(UINT id)
{
    bool found = false;
    {
        std::lock_guard lock(m_lock);
        auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == id; });
        if (it != m_entries.end()) {
            m_entries.erase(it);
            found = true;
        }
    }
    if (found && id) {
        {
            std::lock_guard registry(g_registryLock);
            Owners().erase(id);
        }
        TickService::Stop(id);
    }
    std::lock_guard lock(m_lock);
    return int(m_entries.size());
}

int MTimer::KillTimer(const std::wstring& name)
{
    std::vector<UINT> ids;
    {
        std::lock_guard lock(m_lock);
        for (const auto& e : m_entries) {
            if (e.name == name)
                ids.push_back(e.id);
        }
    }
    int left = 0;
    {
        std::lock_guard lock(m_lock);
        left = int(m_entries.size());
    }
    for (UINT id : ids)
        left = KillTimer(id);
    return left;
}

void MTimer::KillTimer()
{
    std::vector<UINT> ids;
    {
        std::lock_guard lock(m_lock);
        for (const auto& e : m_entries)
            ids.push_back(e.id);
    }
    for (UINT id : ids)
        KillTimer(id);
}

bool MTimer::GetTimerIsRun(UINT id) const
{
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == id && id != 0; });
}

bool MTimer::GetTimerIsRun(const std::wstring& name) const
{
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name && e.id; });
}

std::wstring MTimer::GetTimerName(UINT id) const
{
    std::lock_guard lock(m_lock);
    for (const auto& e : m_entries) {
        if (e.id == id)
            return e.name;
    }
    return {};
}

bool MTimer::IsAppTimer(UINT id) const
{
    std::lock_guard lock(m_lock);
    for (const auto& e : m_entries) {
        if (e.id == id)
            return e.appTimer != 0;
    }
    return false;
}

MTimer* MTimer::GetFSTimer(UINT id)
{
    std::lock_guard registry(g_registryLock);
    auto it = Owners().find(id);
    return it == Owners().end() ? nullptr : it->second;
}

void MTimer::TimerCallProc(UINT id)
{
    // The owner cannot go away meanwhile: killing a timer waits for its running callback.
    MTimer* owner = GetFSTimer(id);
    if (!owner)
        return;
    owner->OnMTimer(id);
    if (owner->IsAppTimer(id))
        owner->OnMTimer(id, owner->GetTimerName(id));
}

} // namespace Lumo
