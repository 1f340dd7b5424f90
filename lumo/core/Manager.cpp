#include "lumo/Manager.h"

#include "Utf8.h"

#include "lumo/MessageLoop.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

#include <algorithm>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace Lumo {
namespace {

struct Settings {
    std::mutex lock;
    ResourceModule* instance = nullptr;
    std::wstring deviceName = L"Keystead";
    std::wstring fontName = L"Arial";
    int fontWidth = 14;
    ARGB selectColor = 0xFF285055;
    std::wstring skinFolder;
    std::vector<MWindow*> windows;
};

Settings& S()
{
    static Settings settings;
    return settings;
}

} // namespace

void Manager::SetInstance(ResourceModule* instance)
{
    std::lock_guard lock(S().lock);
    S().instance = instance;
}

ResourceModule* Manager::GetInstance()
{
    std::lock_guard lock(S().lock);
    return S().instance;
}

void Manager::SetDeviceName(const std::wstring& name)
{
    std::lock_guard lock(S().lock);
    S().deviceName = name;
}

std::wstring Manager::GetDeviceName()
{
    std::lock_guard lock(S().lock);
    return S().deviceName;
}

std::wstring Manager::GetTheme() { return L"theme1/"; }

std::wstring Manager::GetModuleFolder()
{
    std::string buf(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return L"./";
    buf.resize(std::size_t(n));
    const auto slash = buf.rfind('/');
    return Utf8::Widen(slash == std::string::npos ? std::string(".") : buf.substr(0, slash)) + L"/";
}

std::wstring Manager::GetSkinFolder()
{
    {
        std::lock_guard lock(S().lock);
        if (!S().skinFolder.empty())
            return S().skinFolder;
    }
    return GetModuleFolder() + L"skins/" + GetTheme();
}

void Manager::SetSkinFolder(const std::wstring& folder)
{
    std::lock_guard lock(S().lock);
    S().skinFolder = folder;
    if (!folder.empty() && folder.back() != L'/')
        S().skinFolder.push_back(L'/');
}

void Manager::SetFont(const std::wstring& name, int size)
{
    std::lock_guard lock(S().lock);
    S().fontName = name;
    S().fontWidth = size;
}

void Manager::SetFontName(const std::wstring& name)
{
    std::lock_guard lock(S().lock);
    S().fontName = name;
}

std::wstring Manager::GetFontName()
{
    std::lock_guard lock(S().lock);
    return S().fontName;
}

int Manager::GetFontWidth()
{
    std::lock_guard lock(S().lock);
    return S().fontWidth;
}

ARGB Manager::GetSelectColor()
{
    std::lock_guard lock(S().lock);
    return S().selectColor;
}

bool Manager::InitGdiplus() { return true; }
void Manager::UnInitGdiplus() {}

int Manager::PreTranslateMessage(const Message*)
{
    const auto& backend = GetPlatformBackend();
    return backend.IsKeyHeld(VK_MENU) && backend.IsKeyHeld(VK_F4) ? 1 : 0;
}

int Manager::MessageLoop()
{
    Message msg;
    while (GetMessageW(msg)) {
        if (!PreTranslateMessage(&msg))
            DispatchMessageW(msg);
    }
    return int(msg.wParam);
}

void Manager::AddWnd(MWindow* window)
{
    std::lock_guard lock(S().lock);
    if (std::find(S().windows.begin(), S().windows.end(), window) == S().windows.end())
        S().windows.push_back(window);
}

void Manager::DeleteWnd(MWindow* window)
{
    std::lock_guard lock(S().lock);
    std::erase(S().windows, window);
}

bool Manager::HasWnd(const MWindow* window)
{
    std::lock_guard lock(S().lock);
    return std::find(S().windows.begin(), S().windows.end(), window) != S().windows.end();
}

} // namespace Lumo
