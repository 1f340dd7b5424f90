#include "lumo/Manager.h"

#include <mutex>

namespace Lumo {
namespace {
std::mutex g_nameLock;
std::wstring& DeviceName()
{
    static std::wstring name = L"Keystead";
    return name;
}
} // namespace

void Manager::SetDeviceName(const std::wstring& name)
{
    std::lock_guard lock(g_nameLock);
    DeviceName() = name;
}

std::wstring Manager::GetDeviceName()
{
    std::lock_guard lock(g_nameLock);
    return DeviceName();
}

} // namespace Lumo
