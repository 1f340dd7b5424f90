#pragma once
#include "lumo/MessageLoop.h"
#include "lumo/Messages.h"
#include "lumo/Types.h"

#include <memory>
#include <mutex>
#include <string>

namespace Lumo {

class PlatformWindow;
class Canvas;

// What WM_CREATE carries in lParam (as a pointer).
struct CREATESTRUCT {
    HWND hwndParent;
    Rect rect;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring title;
};

// Size limits asked for with WM_GETMINMAXINFO (lParam points at it).
struct MINMAXINFO {
    Point ptMaxSize;
    Point ptMaxPosition;
    Point ptMinTrackSize;
    Point ptMaxTrackSize;
};

using TIMERPROC = void (*)(HWND, UINT, UINT, DWORD);

// A top-level window of the library: its handle, its native window, its message handler
// and a modal loop. Every wrapper does nothing (0, null, false) when the window does not exist.
class MWindow {
public:
    MWindow();
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const wchar_t* GetWindowClassName() const { return L"LumoClient"; }
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual void ShowWindow(int showCommand);
    // Base behaviour: the default handling of a message (DefWindowProc).
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int PreTranslateMessage(Message* msg);
    virtual int OnInitDialog() { return 1; }
    virtual void OnDestroyMessage(HWND) {}

    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, Rect rect);
    int ShowModal(int showCommand = SW_SHOWNORMAL);
    int DestroyWindow();
    void CenterWindow(MWindow* relativeTo = nullptr);
    void BringToTop();
    // Sets the window icon from a picture (the program's icon image).
    void SetIcon(const Canvas& icon);
    // The icon from the program's resources (a "PNG", else an "ICON" resource the image
    // loader can decode); 0 and no change when the window or a usable resource is missing.
    int SetIcon(UINT resourceId);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hWndParent; }
    DWORD GetStyle() const { return m_hWnd ? m_style : 0; }
    DWORD GetExStyle() const { return m_hWnd ? m_exStyle : 0; }
    bool ModifyStyle(DWORD remove, DWORD add);
    bool ModifyExStyle(DWORD remove, DWORD add);
    Rect GetClientRect() const;
    Rect GetWindowRect() const;
    void SetWindowTextW(const wchar_t* text);
    std::wstring GetWindowTextW() const;
    int GetWindowTextLengthW() const;
    int EnableWindow(int enable);
    int IsWindowEnabled() const;
    int IsWindowVisible() const;
    int IsIconic() const;
    int IsZoomed() const;
    void InvalidateRect(Rect rect, int erase);
    void Invalidate();
    // Takes the pending update rectangle (empty when nothing is pending) and clears it.
    Rect BeginPaint();
    Rect GetUpdateRect() const;
    void SetCapture();
    void ReleaseCapture();
    void SetFocus();
    UINT SetTimer(UINT id, UINT ms, TIMERPROC proc = nullptr);
    int KillTimer(UINT id);
    Point ClientToScreen(Point pt) const;
    Rect ClientToScreen(Rect rc) const;
    Point ScreenToClient(Point pt) const;
    Rect ScreenToClient(Rect rc) const;
    int SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    int MoveWindow(int x, int y, int cx, int cy, int repaint = 1);
    LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int PostMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool RegisterWindowClass() { return true; }
    bool RegisterSuperClass() { return true; }

    PlatformWindow* GetPlatformWindow() const { return m_platform.get(); }
    // The window object behind a handle, null when it is gone.
    static MWindow* FromHandle(HWND hwnd);
    // Entry of every message the queue delivers to this window.
    static LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling: WM_CLOSE destroys the window, WM_PAINT validates it, a caption
    // press starts a window move where the desktop lets the program start one.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Called by Create once the window exists, before OnInitDialog.
    virtual void OnWindowCreated() {}

    HWND m_hWndParent;
    HWND m_hWnd;

private:
    void ApplyBounds(const Rect& screenRect);
    void NoteClientSize(int cx, int cy);

    std::unique_ptr<PlatformWindow> m_platform;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::wstring m_title;
    int m_enabled = 1;
    Rect m_bounds; // screen rectangle
    mutable std::mutex m_paintLock; // guards the two below; other threads invalidate
    Rect m_invalid;
    Size m_clientSize;
};

// Enables or disables input to the window behind a handle.
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
void SetFocus(HWND hwnd);

} // namespace Lumo
