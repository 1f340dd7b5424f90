#include "lumo/ControlList.h"

#include "lumo/MControl.h"

#include <algorithm>

namespace Lumo {

std::recursive_mutex& ControlTreeLock()
{
    static std::recursive_mutex lock;
    return lock;
}

ControlList::Walk::Walk(const ControlList& l) : list(l) { ++list.m_walking; }

ControlList::Walk::~Walk()
{
    if (--list.m_walking == 0)
        list.Compact();
}

ControlList::~ControlList() { Clear(); }

void ControlList::Compact() const
{
    std::erase_if(m_items, [](const auto& p) { return !p; });
    // Destroying a control may remove further controls from this list; keep going until
    // nothing is left over.
    while (!m_removed.empty()) {
        auto doomed = std::move(m_removed);
        m_removed.clear();
        doomed.clear();
    }
}

MControl* ControlList::Add(std::unique_ptr<MControl> control)
{
    if (!control)
        return nullptr;
    std::lock_guard lock(ControlTreeLock());
    m_items.push_back(std::move(control));
    return m_items.back().get();
}

std::unique_ptr<MControl> ControlList::Release(MControl* control)
{
    std::lock_guard lock(ControlTreeLock());
    for (auto& item : m_items) {
        if (item && item.get() == control) {
            auto owned = std::move(item);
            if (m_walking == 0)
                Compact();
            return owned;
        }
    }
    return nullptr;
}

bool ControlList::Remove(MControl* control)
{
    std::lock_guard lock(ControlTreeLock());
    auto owned = Release(control);
    if (!owned)
        return false;
    if (m_walking > 0)
        m_removed.push_back(std::move(owned));
    return true; // destroyed here when no walk is going on
}

void ControlList::Clear()
{
    std::lock_guard lock(ControlTreeLock());
    if (m_walking > 0) {
        for (auto& item : m_items) {
            if (item)
                m_removed.push_back(std::move(item));
        }
        return;
    }
    // Children may look at this list while they are destroyed; unlist them first.
    auto doomed = std::move(m_items);
    m_items.clear();
    doomed.clear();
    Compact();
}

std::vector<MControl*> ControlList::Items() const
{
    std::lock_guard lock(ControlTreeLock());
    std::vector<MControl*> out;
    for (const auto& item : m_items) {
        if (item)
            out.push_back(item.get());
    }
    return out;
}

std::size_t ControlList::Count() const { return Items().size(); }

bool ControlList::Contains(const MControl* control) const { return IndexOf(control) >= 0; }

int ControlList::IndexOf(const MControl* control) const
{
    const auto items = Items();
    auto it = std::find(items.begin(), items.end(), control);
    return it == items.end() ? -1 : int(it - items.begin());
}

} // namespace Lumo
