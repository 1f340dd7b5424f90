#include "DroppedFiles.h"

#include <map>
#include <mutex>

namespace Lumo::DroppedFiles {
namespace {
// A window that never takes its files (destroyed first) must not hold them without end.
constexpr std::size_t kMaxWaiting = 64;

std::mutex g_lock;
std::map<std::uint32_t, std::vector<std::wstring>> g_waiting;
} // namespace

void Push(HWND window, std::wstring path)
{
    std::lock_guard lock(g_lock);
    auto& files = g_waiting[window.value];
    if (files.size() < kMaxWaiting)
        files.push_back(std::move(path));
}

std::vector<std::wstring> Take(HWND window)
{
    std::lock_guard lock(g_lock);
    auto it = g_waiting.find(window.value);
    if (it == g_waiting.end())
        return {};
    std::vector<std::wstring> files = std::move(it->second);
    g_waiting.erase(it);
    return files;
}

} // namespace Lumo::DroppedFiles
