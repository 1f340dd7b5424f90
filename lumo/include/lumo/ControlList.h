#pragma once
#include <memory>
#include <mutex>
#include <vector>

namespace Lumo {

class MControl;

// The lock every child list of every control tree shares. The animation tick walks the
// trees from its own thread while the window thread draws and routes input; one recursive
// lock for all lists keeps the two from ever waiting on each other in opposite order.
std::recursive_mutex& ControlTreeLock();

// An owning list of controls that stays valid while it is walked: a control removed
// during a walk (a notification handler closing a page, say) is unlisted at once but
// destroyed only when the outermost walk is over.
class ControlList {
public:
    ControlList() = default;
    ~ControlList();
    ControlList(const ControlList&) = delete;
    ControlList& operator=(const ControlList&) = delete;

    MControl* Add(std::unique_ptr<MControl> control);
    // Destroys the control (later, during a walk); false when it is not in the list.
    bool Remove(MControl* control);
    // Detaches and returns the control without destroying it.
    std::unique_ptr<MControl> Release(MControl* control);
    void Clear();

    // Calls fn(control) for each listed control in order until fn returns true;
    // returns whether it did.
    template <typename Fn>
    bool ForEach(Fn&& fn) const
    {
        std::lock_guard lock(ControlTreeLock());
        Walk walk(*this);
        const std::size_t count = m_items.size();
        for (std::size_t i = 0; i < count && i < m_items.size(); ++i) {
            MControl* c = m_items[i].get();
            if (c && fn(c))
                return true;
        }
        return false;
    }
    // The same from the last control to the first.
    template <typename Fn>
    bool ForEachReverse(Fn&& fn) const
    {
        std::lock_guard lock(ControlTreeLock());
        Walk walk(*this);
        for (std::size_t i = m_items.size(); i-- > 0;) {
            MControl* c = i < m_items.size() ? m_items[i].get() : nullptr;
            if (c && fn(c))
                return true;
        }
        return false;
    }

    // Snapshot of the listed controls (for callers that only look).
    std::vector<MControl*> Items() const;
    std::size_t Count() const;
    bool Contains(const MControl* control) const;
    int IndexOf(const MControl* control) const;

private:
    struct Walk {
        explicit Walk(const ControlList& l);
        ~Walk();
        const ControlList& list;
    };
    void Compact() const;

    mutable std::vector<std::unique_ptr<MControl>> m_items;
    mutable std::vector<std::unique_ptr<MControl>> m_removed;
    mutable int m_walking = 0;
};

} // namespace Lumo
