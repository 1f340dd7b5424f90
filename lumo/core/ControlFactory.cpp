#include "lumo/ControlFactory.h"

#include "lumo/MControl.h"

#include <cwchar>
#include <mutex>
#include <deque>

namespace Lumo {
namespace {

struct Table {
    std::mutex lock;
    std::deque<ControlClass> rows; // in registration order; rows never move
};

Table& T()
{
    static Table table;
    return table;
}

} // namespace

bool ControlFactory::Register(ControlClass row)
{
    if (!row.name || !*row.name || !row.create)
        return false;
    std::lock_guard lock(T().lock);
    for (const auto& r : T().rows) {
        if (std::wcscmp(r.name, row.name) == 0)
            return false;
    }
    T().rows.push_back(std::move(row));
    return true;
}

const ControlClass* ControlFactory::Find(const wchar_t* name)
{
    if (!name || !*name)
        return nullptr;
    std::lock_guard lock(T().lock);
    for (const auto& r : T().rows) {
        if (std::wcscmp(r.name, name) == 0)
            return &r;
    }
    return nullptr;
}

std::unique_ptr<MControl> ControlFactory::Create(Site site, MObject* parent, const wchar_t* className, UINT id,
                                                 Rect rect, const wchar_t* title, int visible, int enabled)
{
    const ControlClass* row = Find(className);
    if (!row)
        return nullptr;
    if ((site == Site::Window && !row->inWindow) || (site == Site::Panel && !row->inPanel))
        return nullptr;
    if (!row->takesTitle)
        title = nullptr;
    if (row->enabled == EnabledArg::Forced)
        enabled = 1;
    auto control = row->create(parent, id, rect, title, visible, enabled);
    if (control)
        control->SetRresponse(1);
    return control;
}

} // namespace Lumo
