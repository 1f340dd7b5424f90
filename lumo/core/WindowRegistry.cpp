#include "WindowRegistry.h"

#include <map>
#include <mutex>

namespace Lumo::WindowRegistry {
namespace {
std::mutex g_lock;
std::uint32_t g_next = 0;
std::map<std::uint32_t, MWindow*>& Windows()
{
    static std::map<std::uint32_t, MWindow*> windows;
    return windows;
}
} // namespace

HWND Allocate(MWindow* window)
{
    std::lock_guard lock(g_lock);
    // 0 and the top values are never handles (null and the z-order sentinels).
    if (++g_next >= 0xFFFFFF00u)
        g_next = 1;
    Windows()[g_next] = window;
    return HWND{g_next};
}

void Release(HWND hwnd)
{
    std::lock_guard lock(g_lock);
    Windows().erase(hwnd.value);
}

MWindow* Find(HWND hwnd)
{
    std::lock_guard lock(g_lock);
    auto it = Windows().find(hwnd.value);
    return it == Windows().end() ? nullptr : it->second;
}

void ForEach(const std::function<bool(HWND, MWindow*)>& fn)
{
    std::map<std::uint32_t, MWindow*> copy;
    {
        std::lock_guard lock(g_lock);
        copy = Windows();
    }
    for (auto& [h, w] : copy) {
        if (Find(HWND{h}) == w && fn(HWND{h}, w))
            return;
    }
}

} // namespace Lumo::WindowRegistry
