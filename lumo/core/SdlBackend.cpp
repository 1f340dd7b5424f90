#include "DroppedFiles.h"
#include "SdlKeys.h"
#include "X11Desktop.h"
#include "Utf8.h"
#include "lumo/MControl.h"
#include "lumo/MWindow.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

#include <SDL.h>
#include <cairo.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace Lumo {
namespace {

class SdlWindow final : public PlatformWindow {
public:
    SdlWindow(SDL_Window* window, bool translucent, bool noActivate)
        : m_window(window), m_translucent(translucent), m_noActivate(noActivate)
    {
    }
    ~SdlWindow() override
    {
        SDL_SetWindowHitTest(m_window, nullptr, nullptr);
        SDL_DestroyWindow(m_window);
    }

    SDL_Window* Native() const { return m_window; }

    void Show(int cmd) override
    {
        switch (cmd) {
        case SW_HIDE:
            SDL_HideWindow(m_window);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_MinimizeWindow(m_window);
            break;
        case SW_MAXIMIZE:
            SDL_ShowWindow(m_window);
            SDL_MaximizeWindow(m_window);
            break;
        case SW_RESTORE:
            SDL_ShowWindow(m_window);
            SDL_RestoreWindow(m_window);
            break;
        default:
            if (m_noActivate || cmd == SW_SHOWNOACTIVATE) {
                SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
                SDL_ShowWindow(m_window);
                SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "0");
            } else {
                SDL_ShowWindow(m_window);
            }
            break;
        }
    }
    bool IsVisible() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_SHOWN) != 0; }
    bool IsMinimized() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0; }
    bool IsMaximized() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED) != 0; }
    void SetTitle(const std::wstring& title) override { SDL_SetWindowTitle(m_window, Utf8::Narrow(title).c_str()); }
    Rect GetBounds() const override
    {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(m_window, &x, &y);
        SDL_GetWindowSize(m_window, &w, &h);
        return Rect(x, y, x + w, y + h);
    }
    void SetBounds(const Rect& r) override
    {
        SDL_SetWindowPosition(m_window, r.left, r.top);
        SDL_SetWindowSize(m_window, std::max(1, r.Width()), std::max(1, r.Height()));
    }
    void SetTopmost(bool topmost) override { SDL_SetWindowAlwaysOnTop(m_window, topmost ? SDL_TRUE : SDL_FALSE); }
    void Raise() override { SDL_RaiseWindow(m_window); }
    void SetMouseCapture(bool capture) override { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }
    void SetCursor(CursorKind kind) override
    {
        SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
        switch (kind) {
        case CursorKind::Wait: id = SDL_SYSTEM_CURSOR_WAIT; break;
        case CursorKind::Cross: id = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
        case CursorKind::SizeWE: id = SDL_SYSTEM_CURSOR_SIZEWE; break;
        case CursorKind::SizeNS: id = SDL_SYSTEM_CURSOR_SIZENS; break;
        case CursorKind::Hand: id = SDL_SYSTEM_CURSOR_HAND; break;
        default: break;
        }
        static std::map<SDL_SystemCursor, SDL_Cursor*> cursors;
        auto& c = cursors[id];
        if (!c)
            c = SDL_CreateSystemCursor(id);
        if (c)
            SDL_SetCursor(c);
    }
    void SetMinimumSize(int cx, int cy) override { SDL_SetWindowMinimumSize(m_window, cx, cy); }
    void SetMaximumSize(int cx, int cy) override { SDL_SetWindowMaximumSize(m_window, cx, cy); }

    bool Present(const Canvas& buffer, const Rect& update, bool perPixelAlpha) override
    {
        SDL_Surface* target = SDL_GetWindowSurface(m_window);
        if (!target)
            return false;
        buffer.BeginRaw();
        cairo_surface_t* s = buffer.Surface();
        // On an alpha visual the compositor takes premultiplied ARGB, exactly the buffer's
        // layout; an opaque window is read without its alpha so that it stays opaque. Without
        // an alpha visual the colour shows over black.
        const Uint32 format = m_translucent && !perPixelAlpha ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(s), buffer.Width(),
                                                                 buffer.Height(), 32, cairo_image_surface_get_stride(s),
                                                                 format);
        if (!source)
            return false;
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        const Rect r = update.Intersect(buffer.Bounds());
        SDL_Rect rect{r.left, r.top, r.Width(), r.Height()};
        SDL_Rect dst = rect;
        SDL_BlitSurface(source, &rect, target, &dst);
        SDL_FreeSurface(source);
        return SDL_UpdateWindowSurfaceRects(m_window, &rect, 1) == 0;
    }
    bool SupportsPerPixelAlpha() const override { return m_translucent; }

    void SetDragTest(std::function<bool(Point)> test) override
    {
        m_dragTest = std::move(test);
        SDL_SetWindowHitTest(m_window, m_dragTest ? &SdlWindow::HitTest : nullptr, this);
    }

    void SetIcon(const Canvas& icon) override
    {
        icon.BeginRaw();
        cairo_surface_t* s = icon.Surface();
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(s), icon.Width(),
                                                                  icon.Height(), 32, cairo_image_surface_get_stride(s),
                                                                  SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            SDL_SetWindowIcon(m_window, surface);
            SDL_FreeSurface(surface);
        }
    }

    void ConfineCursor(bool confine) override { SDL_SetWindowMouseGrab(m_window, confine ? SDL_TRUE : SDL_FALSE); }

private:
    static SDL_HitTestResult HitTest(SDL_Window*, const SDL_Point* area, void* data)
    {
        auto* self = static_cast<SdlWindow*>(data);
        return self->m_dragTest && self->m_dragTest(Point(area->x, area->y)) ? SDL_HITTEST_DRAGGABLE
                                                                            : SDL_HITTEST_NORMAL;
    }

    SDL_Window* m_window;
    bool m_translucent;
    bool m_noActivate;
    std::function<bool(Point)> m_dragTest;
};

class SdlBackend final : public PlatformBackend {
public:
    ~SdlBackend() override
    {
        if (m_videoReady)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    std::unique_ptr<PlatformWindow> CreateWindow(const PlatformWindowParams& p, HWND handle) override
    {
        if (!EnsureVideo())
            return nullptr;
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
        // A window that never takes the focus is a tooltip to the desktop: no frame, no
        // focus, not managed.
        if (p.noActivate)
            flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_TOOLTIP;
        else if (p.toolWindow)
            flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_UTILITY;
        if (p.topmost)
            flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        SDL_Window* w = SDL_CreateWindow(Utf8::Narrow(p.title).c_str(), p.rect.left, p.rect.top, std::max(1, p.rect.Width()),
                                         std::max(1, p.rect.Height()), flags);
        if (!w)
            return nullptr;
        if (p.clickThrough)
            X11Desktop::SetClickThrough(w);
        // Windows without a handle (tooltips, drag pictures, shadows) take no input.
        if (handle) {
            std::lock_guard lock(m_lock);
            m_handles[SDL_GetWindowID(w)] = handle;
        }
        return std::make_unique<SdlWindow>(w, m_translucent, p.noActivate);
    }

    void PumpEvents() override
    {
        if (!m_videoReady)
            return;
        m_wakePending = false;
        SDL_Event e;
        while (SDL_PollEvent(&e))
            Translate(e);
    }

    void WaitEvents(int timeoutMs) override
    {
        if (m_videoReady) {
            SDL_WaitEventTimeout(nullptr, timeoutMs < 0 ? 1000 : timeoutMs);
            return;
        }
        std::unique_lock lock(m_lock);
        auto woken = [&] { return m_wakeFlag; };
        if (timeoutMs < 0)
            m_wakeCv.wait(lock, woken);
        else
            m_wakeCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), woken);
        m_wakeFlag = false;
    }

    void Wake() override
    {
        {
            std::lock_guard lock(m_lock);
            m_wakeFlag = true;
        }
        m_wakeCv.notify_all();
        if (m_videoReady && !m_wakePending.exchange(true)) {
            SDL_Event e{};
            e.type = m_wakeEvent;
            SDL_PushEvent(&e);
        }
    }

    Point GetCursorPos() const override
    {
        int x = 0, y = 0;
        if (m_videoReady)
            SDL_GetGlobalMouseState(&x, &y);
        return Point(x, y);
    }

    Rect GetWorkArea() const override
    {
        SDL_Rect r{0, 0, 1920, 1080};
        if (m_videoReady)
            SDL_GetDisplayUsableBounds(0, &r);
        return Rect(r.x, r.y, r.x + r.w, r.y + r.h);
    }

    bool IsKeyHeld(UINT vk) const override
    {
        if (!m_videoReady)
            return false;
        const SDL_Keymod mods = SDL_GetModState();
        switch (vk) {
        case VK_SHIFT: return (mods & KMOD_SHIFT) != 0;
        case VK_CONTROL: return (mods & KMOD_CTRL) != 0;
        case VK_MENU: return (mods & KMOD_ALT) != 0;
        case VK_LBUTTON: return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
        case VK_RBUTTON: return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_RMASK) != 0;
        default: break;
        }
        const SDL_Scancode sc = SdlScancodeFromVirtualKey(vk);
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        return sc != SDL_SCANCODE_UNKNOWN && sc < count && state[sc];
    }

    int GetCaretBlinkTime() const override { return 530; }
    bool SupportsPerPixelAlpha() const override { return m_translucent; }

private:
    bool EnsureVideo()
    {
        if (m_videoReady)
            return true;
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Window surfaces straight from the desktop, not through a GL renderer.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Layered windows and shadows need an alpha visual; X only has a useful one while a
        // compositing manager runs.
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        unsigned long visual = 0;
        if (!driver || std::strcmp(driver, "x11") == 0)
            visual = X11Desktop::FindTranslucentVisual();
        if (visual)
            SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(visual).c_str());
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        const char* current = SDL_GetCurrentVideoDriver();
        m_translucent = visual != 0 && current && std::strcmp(current, "x11") == 0;
        m_wakeEvent = SDL_RegisterEvents(1);
        m_videoReady = true;
        return true;
    }

    HWND HandleOf(Uint32 windowId)
    {
        std::lock_guard lock(m_lock);
        auto it = m_handles.find(windowId);
        return it == m_handles.end() ? HWND{} : it->second;
    }

    static WPARAM MouseFlags(Uint32 buttons)
    {
        WPARAM flags = 0;
        if (buttons & SDL_BUTTON_LMASK)
            flags |= MK_LBUTTON;
        if (buttons & SDL_BUTTON_RMASK)
            flags |= MK_RBUTTON;
        const SDL_Keymod mods = SDL_GetModState();
        if (mods & KMOD_SHIFT)
            flags |= MK_SHIFT;
        if (mods & KMOD_CTRL)
            flags |= MK_CONTROL;
        return flags;
    }

    // Input to a disabled window (an owner under a modal loop) is dropped, as the desktop does.
    static bool Accepts(HWND h)
    {
        MWindow* w = MWindow::FromHandle(h);
        return w && w->IsWindowEnabled();
    }

    void Translate(const SDL_Event& e)
    {
        switch (e.type) {
        case SDL_MOUSEMOTION: {
            const HWND h = HandleOf(e.motion.windowID);
            if (Accepts(h))
                PostMessageW(h, WM_MOUSEMOVE, MouseFlags(e.motion.state), MAKELPARAM(e.motion.x, e.motion.y));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const HWND h = HandleOf(e.button.windowID);
            if (!Accepts(h) || (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT))
                break;
            const bool left = e.button.button == SDL_BUTTON_LEFT;
            UINT msg;
            if (e.type == SDL_MOUSEBUTTONUP)
                msg = left ? WM_LBUTTONUP : WM_RBUTTONUP;
            else if (e.button.clicks >= 2 && e.button.clicks % 2 == 0)
                msg = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
            else
                msg = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
            PostMessageW(h, msg, MouseFlags(SDL_GetMouseState(nullptr, nullptr)), MAKELPARAM(e.button.x, e.button.y));
            break;
        }
        case SDL_MOUSEWHEEL: {
            const HWND h = HandleOf(e.wheel.windowID);
            if (!Accepts(h) || e.wheel.y == 0)
                break;
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            const int delta = e.wheel.y * WHEEL_DELTA * (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1);
            PostMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseFlags(SDL_GetMouseState(nullptr, nullptr))), delta),
                         MAKELPARAM(x, y));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const HWND h = HandleOf(e.key.windowID);
            const UINT vk = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
            if (!Accepts(h) || vk == 0)
                break;
            const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            UINT msg = e.type == SDL_KEYDOWN ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
            LPARAM lp = 1 | (LPARAM(e.key.keysym.scancode & 0xFF) << 16);
            if (e.key.repeat)
                lp |= LPARAM(1) << 30;
            PostMessageW(h, msg, vk, lp);
            break;
        }
        case SDL_TEXTINPUT: {
            const HWND h = HandleOf(e.text.windowID);
            if (!Accepts(h))
                break;
            for (wchar_t c : Utf8::Widen(e.text.text))
                PostMessageW(h, WM_CHAR, WPARAM(c), 1);
            break;
        }
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(e.window);
            break;
        case SDL_DROPFILE: {
            const HWND h = HandleOf(e.drop.windowID);
            if (e.drop.file && Accepts(h)) {
                DroppedFiles::Push(h, Utf8::Widen(e.drop.file));
                PostMessageW(h, WM_DROPFILES, 0, 0);
            }
            SDL_free(e.drop.file);
            break;
        }
        case SDL_DROPTEXT:
            SDL_free(e.drop.file);
            break;
        default:
            break;
        }
    }

    void TranslateWindowEvent(const SDL_WindowEvent& w)
    {
        const HWND h = HandleOf(w.windowID);
        MWindow* window = MWindow::FromHandle(h);
        if (!window)
            return;
        switch (w.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            window->Invalidate();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            PostMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w.data1, w.data2));
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            PostMessageW(h, WM_SIZE, SIZE_MINIMIZED, 0);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED: {
            const Rect r = window->GetClientRect();
            PostMessageW(h, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(r.Width(), r.Height()));
            break;
        }
        case SDL_WINDOWEVENT_RESTORED: {
            const Rect r = window->GetClientRect();
            PostMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.Width(), r.Height()));
            window->Invalidate();
            break;
        }
        case SDL_WINDOWEVENT_MOVED:
            PostMessageW(h, WM_MOVE, 0, MAKELPARAM(w.data1, w.data2));
            break;
        case SDL_WINDOWEVENT_LEAVE:
            PostMessageW(h, WM_MOUSELEAVE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            PostMessageW(h, WM_NCACTIVATE, 1, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            PostMessageW(h, WM_NCACTIVATE, 0, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PostMessageW(h, WM_CLOSE, 0, 0);
            break;
        default:
            break;
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wakeCv;
    bool m_wakeFlag = false;
    std::atomic<bool> m_videoReady{false};
    bool m_translucent = false;
    std::atomic<bool> m_wakePending{false};
    Uint32 m_wakeEvent = 0;
    std::map<Uint32, HWND> m_handles;
};

std::unique_ptr<PlatformBackend>& BackendSlot()
{
    static std::unique_ptr<PlatformBackend> backend;
    return backend;
}

std::mutex g_backendLock;

} // namespace

PlatformBackend& GetPlatformBackend()
{
    std::lock_guard lock(g_backendLock);
    auto& slot = BackendSlot();
    if (!slot)
        slot = std::make_unique<SdlBackend>();
    return *slot;
}

void SetPlatformBackend(std::unique_ptr<PlatformBackend> backend)
{
    std::lock_guard lock(g_backendLock);
    BackendSlot() = std::move(backend);
}

} // namespace Lumo
