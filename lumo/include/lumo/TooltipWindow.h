#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <memory>
#include <string>

namespace Lumo {

class MWindow;
class PlatformWindow;

// Window timers of the tooltip (beside the overlay's and the caret's).
constexpr UINT TIMER_TOOLTIP_SHOW = 6554;
constexpr UINT TIMER_TOOLTIP_HIDE = 6555;

// The one tooltip of a window: a small topmost window that never takes the focus, shown
// below the pointer once the pointer has rested on a control with a tip.
class TooltipWindow {
public:
    static constexpr int kInitialDelayMs = 500;
    static constexpr int kAutoPopMs = 5000;
    static constexpr int kMaxWidth = 256;

    explicit TooltipWindow(MWindow& owner);
    ~TooltipWindow();
    TooltipWindow(const TooltipWindow&) = delete;
    TooltipWindow& operator=(const TooltipWindow&) = delete;

    // A new tip: replaces a tip on screen at once, else waits for the pointer to rest.
    void SetText(const std::wstring& text);
    // Takes the tip away and forgets its text.
    void Hide();
    // Mouse input seen by the window: a move while waiting starts the wait again, a
    // button or the wheel takes the tip away.
    void OnMouseMessage(UINT message);
    // True when the timer was the tooltip's.
    bool OnTimer(UINT id);

    bool IsShown() const { return m_shown; }
    bool IsWaiting() const { return m_waiting; }
    const std::wstring& GetText() const { return m_text; }
    const Canvas* GetPicture() const { return m_picture.get(); }
    // Screen rectangle of the tip while shown.
    Rect GetScreenRect() const { return m_screen; }

    // The tip's picture: white box, thin border, text wrapped at kMaxWidth.
    static std::unique_ptr<Canvas> Render(const std::wstring& text);
    // Where a tip of this size goes for a pointer at cursor: below it, kept on the work area.
    static Rect Place(Size tip, Point cursor, const Rect& workArea);

private:
    void StartWaiting();
    void ShowNow();
    void StopTimers();

    MWindow& m_owner;
    std::unique_ptr<PlatformWindow> m_window;
    std::unique_ptr<Canvas> m_picture;
    std::wstring m_text;
    Rect m_screen;
    bool m_waiting = false;
    bool m_shown = false;
};

} // namespace Lumo
