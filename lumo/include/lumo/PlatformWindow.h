#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <functional>
#include <memory>
#include <string>

// The desktop behind the library's windows: one interface, implemented over SDL2.
namespace Lumo {

enum class CursorKind;

struct PlatformWindowParams {
    std::wstring title;
    Rect rect;             // screen position and size
    bool toolWindow = false;
    bool topmost = false;
    // Shown without taking the keyboard focus (tooltips, drag pictures, shadows).
    bool noActivate = false;
    // The mouse passes through to whatever lies beneath (shadows).
    bool clickThrough = false;
    HWND owner;

    // A small topmost window over an owner that never takes the focus (tooltips, the
    // picture of a dragged control).
    static PlatformWindowParams Floating(const Rect& screenRect, HWND owner, bool clickThrough)
    {
        PlatformWindowParams p;
        p.rect = screenRect;
        p.toolWindow = p.topmost = p.noActivate = true;
        p.clickThrough = clickThrough;
        p.owner = owner;
        return p;
    }
};

// One native top-level window without decorations; the library draws all of it.
class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    virtual void Show(int showCommand) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual bool IsMaximized() const = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    // Screen rectangle of the window.
    virtual Rect GetBounds() const = 0;
    virtual void SetBounds(const Rect& screenRect) = 0;
    virtual void SetTopmost(bool topmost) = 0;
    virtual void Raise() = 0;
    virtual void SetMouseCapture(bool capture) = 0;
    virtual void SetCursor(CursorKind cursor) = 0;
    virtual void SetMinimumSize(int cx, int cy) = 0;
    virtual void SetMaximumSize(int cx, int cy) = 0;
    // Shows the area update of buffer (client-sized). With perPixelAlpha the window takes
    // the buffer's alpha where the desktop can show it.
    virtual bool Present(const Canvas& buffer, const Rect& update, bool perPixelAlpha) = 0;
    virtual bool SupportsPerPixelAlpha() const = 0;
    // Asked for a client point when a button goes down: true lets the user move the
    // window by dragging from there.
    virtual void SetDragTest(std::function<bool(Point)> test) = 0;
    virtual void SetIcon(const Canvas& icon) = 0;
    // Keeps the pointer inside the window (while a control is dragged).
    virtual void ConfineCursor(bool confine) = 0;
};

// Creates windows, translates the desktop's input into messages and lets the window
// thread sleep until something happens.
class PlatformBackend {
public:
    virtual ~PlatformBackend() = default;
    virtual std::unique_ptr<PlatformWindow> CreateWindow(const PlatformWindowParams& params, HWND handle) = 0;
    // Turns every pending desktop event into a posted message. Window thread only.
    virtual void PumpEvents() = 0;
    // Sleeps until a desktop event arrives, Wake() is called or timeoutMs pass (−1: no limit).
    virtual void WaitEvents(int timeoutMs) = 0;
    // Ends a WaitEvents early; safe from any thread.
    virtual void Wake() = 0;
    virtual Point GetCursorPos() const = 0;
    // The usable area of the primary display.
    virtual Rect GetWorkArea() const = 0;
    // Held state of VK_SHIFT, VK_CONTROL, VK_MENU, VK_F4, mouse buttons.
    virtual bool IsKeyHeld(UINT virtualKey) const = 0;
    virtual int GetCaretBlinkTime() const { return 530; }
    // Whether windows can be shown with per-pixel translucency (a compositing desktop).
    virtual bool SupportsPerPixelAlpha() const { return false; }
};

// The backend in use: SDL2 unless a tool installed another before the first window.
PlatformBackend& GetPlatformBackend();
void SetPlatformBackend(std::unique_ptr<PlatformBackend> backend);

} // namespace Lumo
