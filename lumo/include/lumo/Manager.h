#pragma once
#include "lumo/Types.h"

#include <string>

namespace Lumo {

class MWindow;
class ResourceModule;
struct Message;

// Process-wide settings of the library, shared by the program and the library: the
// device name that names the program instance, the default font, the skin folder.
class Manager {
public:
    // The program's resources (images it registers by id); null until set.
    static void SetInstance(ResourceModule* instance);
    static ResourceModule* GetInstance();
    static void SetDeviceName(const std::wstring& name);
    static std::wstring GetDeviceName();
    // The theme folder name, with its trailing separator.
    static std::wstring GetTheme();
    // <program folder>/skins/<theme>, with a trailing '/'; every relative image path resolves against it.
    static std::wstring GetSkinFolder();
    // Points the skin folder elsewhere (tools and tests); an empty path restores the default.
    static void SetSkinFolder(const std::wstring& folder);
    // Folder of the running executable, with a trailing '/'.
    static std::wstring GetModuleFolder();
    static void SetFont(const std::wstring& name, int size);
    static void SetFontName(const std::wstring& name);
    static std::wstring GetFontName();
    static int GetFontWidth();
    static ARGB GetSelectColor();
    // Start-up and shut-down of the drawing services; kept for callers that pair them.
    static bool InitGdiplus();
    static void UnInitGdiplus();
    // A plain get/dispatch loop until the quit message; drops what arrives while Alt+F4 is held.
    static int MessageLoop();
    // 1 while Alt and F4 are both held.
    static int PreTranslateMessage(const Message* msg);
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static bool HasWnd(const MWindow* window);
};

} // namespace Lumo
