#pragma once
#include "lumo/Canvas.h"
#include "lumo/PlatformWindow.h"
#include "lumo/Messages.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace LumoTest {
using namespace Lumo;

class RecordingBackend;

// A window on a desktop without a screen: it keeps what was asked of it. Whether it
// can show per-pixel alpha is the backend's setting at its creation.
class RecordingWindow final : public PlatformWindow {
public:
    RecordingWindow(RecordingBackend& desktop, const PlatformWindowParams& p, bool alpha);
    ~RecordingWindow() override;

    PlatformWindowParams params;
    Rect bounds;
    bool visible = false;
    bool minimized = false;
    bool perPixelAlpha = false;
    int presents = 0;
    bool presentedWithAlpha = false;
    std::unique_ptr<Canvas> icon;

    void Show(int cmd) override
    {
        minimized = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED;
        visible = cmd != SW_HIDE;
    }
    bool IsVisible() const override { return visible; }
    bool IsMinimized() const override { return minimized; }
    bool IsMaximized() const override { return false; }
    void SetTitle(const std::wstring& title) override { params.title = title; }
    Rect GetBounds() const override { return bounds; }
    void SetBounds(const Rect& r) override { bounds = r; }
    void SetTopmost(bool topmost) override { params.topmost = topmost; }
    void Raise() override {}
    void SetMouseCapture(bool) override {}
    void SetCursor(CursorKind) override {}
    void SetMinimumSize(int, int) override {}
    void SetMaximumSize(int, int) override {}
    bool Present(const Canvas&, const Rect&, bool alpha) override
    {
        ++presents;
        presentedWithAlpha = alpha;
        return true;
    }
    bool SupportsPerPixelAlpha() const override { return perPixelAlpha; }
    void SetDragTest(std::function<bool(Point)>) override {}
    void ConfineCursor(bool) override {}
    void SetIcon(const Canvas& picture) override
    {
        icon = Canvas::Create(picture.Width(), picture.Height());
        if (icon)
            icon->CopyFrom(picture, picture.Bounds(), Point(0, 0));
    }

private:
    RecordingBackend& m_desktop;
};

class RecordingBackend final : public PlatformBackend {
public:
    bool perPixelAlpha = true; // the desktop's answer, and that of windows created from now on
    std::vector<RecordingWindow*> windows; // live windows, oldest first

    std::unique_ptr<PlatformWindow> CreateWindow(const PlatformWindowParams& p, HWND) override
    {
        return std::make_unique<RecordingWindow>(*this, p, perPixelAlpha);
    }
    void PumpEvents() override {}
    void WaitEvents(int timeoutMs) override
    {
        std::unique_lock lock(m_lock);
        auto woken = [&] { return m_woken; };
        m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 50 : timeoutMs), woken);
        m_woken = false;
    }
    void Wake() override
    {
        {
            std::lock_guard lock(m_lock);
            m_woken = true;
        }
        m_cv.notify_all();
    }
    Point GetCursorPos() const override { return Point(); }
    Rect GetWorkArea() const override { return Rect(0, 0, 1920, 1080); }
    bool IsKeyHeld(UINT) const override { return false; }
    bool SupportsPerPixelAlpha() const override { return perPixelAlpha; }

    // The newest live window whose title is title.
    RecordingWindow* Find(const std::wstring& title) const
    {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if ((*it)->params.title == title)
                return *it;
        return nullptr;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_woken = false;
};

inline RecordingWindow::RecordingWindow(RecordingBackend& desktop, const PlatformWindowParams& p, bool alpha)
    : params(p), bounds(p.rect), perPixelAlpha(alpha), m_desktop(desktop)
{
    m_desktop.windows.push_back(this);
}

inline RecordingWindow::~RecordingWindow()
{
    auto& list = m_desktop.windows;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// Puts the recording desktop in place while it lives; SDL comes back afterwards.
// Declare it before the windows of a test, so they are gone before it is.
class RecordingDesktop {
public:
    RecordingDesktop()
    {
        auto backend = std::make_unique<RecordingBackend>();
        m_backend = backend.get();
        SetPlatformBackend(std::move(backend));
    }
    ~RecordingDesktop() { SetPlatformBackend(nullptr); }
    RecordingBackend* operator->() const { return m_backend; }
    RecordingBackend& operator*() const { return *m_backend; }

private:
    RecordingBackend* m_backend;
};

} // namespace LumoTest
