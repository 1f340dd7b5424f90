#include "lumo/MWindow.h"

#include "LoopInternals.h"
#include "WindowRegistry.h"
#include "lumo/MRender.h"
#include "lumo/Manager.h"
#include "lumo/PlatformWindow.h"

namespace Lumo {

MWindow::MWindow() = default;

MWindow::~MWindow()
{
    // A window object that dies with its window still open takes the window along, but
    // without calling back into the (already destroyed) derived parts.
    if (m_hWnd) {
        const HWND h = m_hWnd;
        KillWindowTimers(h);
        DropMessagesFor(h);
        WindowRegistry::Release(h);
        m_platform.reset();
        m_hWnd = HWND{};
    }
    Manager::DeleteWnd(this);
}

MWindow* MWindow::FromHandle(HWND hwnd) { return WindowRegistry::Find(hwnd); }

LRESULT MWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MWindow* window = WindowRegistry::Find(hwnd);
    if (!window)
        return 0;
    if (message == WM_SIZE && wParam != SIZE_MINIMIZED) {
        std::lock_guard lock(window->m_paintLock);
        window->m_clientSize = Size{int(LOWORD(WPARAM(lParam))), int(HIWORD(WPARAM(lParam)))};
    }
    return window->OnWindowMessage(message, wParam, lParam);
}

void MWindow::ShowWindow(int showCommand)
{
    if (!m_platform)
        return;
    const bool before = m_platform->IsVisible();
    m_platform->Show(showCommand);
    // Told at once, as the desktop would, so what depends on the window (its shadow)
    // shows and hides with it.
    const bool after = m_platform && m_platform->IsVisible();
    if (after != before)
        OnWindowMessage(WM_SHOWWINDOW, after ? 1 : 0, 0);
}

LRESULT MWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT MWindow::DefWindowProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_PAINT:
        BeginPaint();
        return 0;
    case WM_NCLBUTTONDOWN:
        // The desktop starts window moves itself from the drag test (SetDragTest).
        return wParam == WPARAM(HTCAPTION) ? 1 : 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return 0;
    }
}

int MWindow::PreTranslateMessage(Message*) { return 0; }

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, Rect rect)
{
    if (m_hWnd)
        return m_hWnd;
    NoteWindowThread();
    m_hWndParent = parent;
    m_style = style;
    m_exStyle = exStyle;
    m_title = title ? title : L"";
    m_bounds = rect;
    m_enabled = (style & WS_DISABLED) ? 0 : 1;
    const HWND handle = WindowRegistry::Allocate(this);

    PlatformWindowParams params;
    params.title = m_title;
    params.rect = rect;
    params.toolWindow = (exStyle & WS_EX_TOOLWINDOW) != 0;
    params.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    params.owner = parent;
    m_platform = GetPlatformBackend().CreateWindow(params, handle);
    if (!m_platform) {
        WindowRegistry::Release(handle);
        return HWND{};
    }
    m_hWnd = handle;
    {
        const Rect b = m_platform->GetBounds();
        NoteClientSize(b.Width(), b.Height());
    }
    Manager::AddWnd(this);

    CREATESTRUCT cs{parent, rect, style, exStyle, m_title};
    if (OnWindowMessage(WM_CREATE, 0, LPARAM(reinterpret_cast<std::intptr_t>(&cs))) == -1) {
        DestroyWindow();
        return HWND{};
    }
    m_style = cs.style;
    m_exStyle = cs.exStyle;
    {
        const Rect c = GetClientRect();
        OnWindowMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.Width(), c.Height()));
    }
    OnWindowCreated();
    if (!m_hWnd)
        return HWND{};
    if (m_style & WS_VISIBLE)
        ShowWindow(SW_SHOWNORMAL);
    Invalidate();
    return m_hWnd;
}

int MWindow::ShowModal(int showCommand)
{
    if (!m_hWnd)
        return -1;
    // Only locals from here on: the window object may be deleted while the loop runs.
    const HWND self = m_hWnd;
    const HWND owner = m_hWndParent;
    ShowWindow(showCommand);
    const bool ownerWasEnabled = owner && Lumo::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        Lumo::EnableWindow(owner, false);
    auto releaseOwner = [&] {
        if (ownerWasEnabled && IsWindow(owner)) {
            Lumo::EnableWindow(owner, true);
            Lumo::SetFocus(owner);
        }
    };

    int result = 0;
    bool quit = false;
    int quitCode = 0;
    Message msg;
    while (IsWindow(self)) {
        if (!GetMessageW(msg)) {
            quit = true;
            quitCode = int(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            result = int(msg.wParam);
            releaseOwner();
        }
        MWindow* window = FromHandle(self);
        if (!window || !window->PreTranslateMessage(&msg))
            DispatchMessageW(msg);
    }
    releaseOwner();
    if (quit)
        PostQuitMessage(quitCode);
    return result;
}

int MWindow::DestroyWindow()
{
    if (!m_hWnd)
        return 0;
    const HWND h = m_hWnd;
    OnWindowMessage(WM_DESTROY, 0, 0);
    if (m_platform)
        m_platform->SetMouseCapture(false);
    m_platform.reset();
    OnWindowMessage(WM_NCDESTROY, 0, 0);
    KillWindowTimers(h);
    DropMessagesFor(h);
    WindowRegistry::Release(h);
    m_hWnd = HWND{};
    {
        std::lock_guard lock(m_paintLock);
        m_invalid = Rect();
    }
    Manager::DeleteWnd(this);
    OnDestroyMessage(h); // may delete this
    return 1;
}

void MWindow::CenterWindow(MWindow* relativeTo)
{
    if (!m_hWnd)
        return;
    const Rect area = relativeTo && relativeTo->GetSafeHwnd() ? relativeTo->GetWindowRect()
                                                               : GetPlatformBackend().GetWorkArea();
    const Rect own = GetWindowRect();
    const int x = area.left + (area.Width() - own.Width()) / 2;
    const int y = area.top + (area.Height() - own.Height()) / 2;
    ApplyBounds(Rect(x, y, x + own.Width(), y + own.Height()));
}

void MWindow::BringToTop()
{
    if (m_platform)
        m_platform->Raise();
}

void MWindow::SetIcon(const Canvas& icon)
{
    if (m_platform)
        m_platform->SetIcon(icon);
}

int MWindow::SetIcon(UINT resourceId)
{
    if (!m_platform)
        return 0;
    const ResourceModule* program = Manager::GetInstance();
    auto image = MRender::LoadImageFromIDResource(resourceId, L"PNG", program);
    if (!image)
        image = MRender::LoadImageFromIDResource(resourceId, L"ICON", program);
    if (!image)
        return 0;
    m_platform->SetIcon(image->Frame(0));
    return 1;
}

bool MWindow::ModifyStyle(DWORD remove, DWORD add)
{
    if (!m_hWnd)
        return false;
    m_style = (m_style & ~remove) | add;
    return true;
}

bool MWindow::ModifyExStyle(DWORD remove, DWORD add)
{
    if (!m_hWnd)
        return false;
    const DWORD before = m_exStyle;
    m_exStyle = (m_exStyle & ~remove) | add;
    if (m_platform && ((before ^ m_exStyle) & WS_EX_TOPMOST))
        m_platform->SetTopmost((m_exStyle & WS_EX_TOPMOST) != 0);
    return true;
}

Rect MWindow::GetWindowRect() const
{
    if (!m_platform)
        return Rect();
    return m_platform->GetBounds();
}

Rect MWindow::GetClientRect() const
{
    if (!m_hWnd)
        return Rect();
    std::lock_guard lock(m_paintLock);
    return Rect(0, 0, m_clientSize.cx, m_clientSize.cy);
}

void MWindow::NoteClientSize(int cx, int cy)
{
    std::lock_guard lock(m_paintLock);
    m_clientSize = Size{cx, cy};
}

void MWindow::SetWindowTextW(const wchar_t* text)
{
    if (!m_hWnd)
        return;
    m_title = text ? text : L"";
    if (m_platform)
        m_platform->SetTitle(m_title);
}

std::wstring MWindow::GetWindowTextW() const { return m_hWnd ? m_title : std::wstring(); }
int MWindow::GetWindowTextLengthW() const { return int(GetWindowTextW().size()); }

int MWindow::EnableWindow(int enable)
{
    if (!m_hWnd)
        return 0;
    const int wasDisabled = m_enabled ? 0 : 1;
    m_enabled = enable ? 1 : 0;
    if (m_enabled)
        m_style &= ~WS_DISABLED;
    else
        m_style |= WS_DISABLED;
    return wasDisabled;
}

int MWindow::IsWindowEnabled() const { return m_hWnd && m_enabled ? 1 : 0; }
int MWindow::IsWindowVisible() const { return m_platform && m_platform->IsVisible() ? 1 : 0; }
int MWindow::IsIconic() const { return m_platform && m_platform->IsMinimized() ? 1 : 0; }
int MWindow::IsZoomed() const { return m_platform && m_platform->IsMaximized() ? 1 : 0; }

void MWindow::InvalidateRect(Rect rect, int)
{
    if (!m_hWnd)
        return;
    const Rect clipped = rect.Intersect(GetClientRect());
    if (clipped.IsRectEmpty())
        return;
    {
        std::lock_guard lock(m_paintLock);
        m_invalid = m_invalid.Union(clipped);
    }
    GetPlatformBackend().Wake();
}

void MWindow::Invalidate() { InvalidateRect(GetClientRect(), 1); }

Rect MWindow::BeginPaint()
{
    std::lock_guard lock(m_paintLock);
    const Rect r = m_invalid;
    m_invalid = Rect();
    return r;
}

Rect MWindow::GetUpdateRect() const
{
    std::lock_guard lock(m_paintLock);
    return m_invalid;
}

void MWindow::SetCapture()
{
    if (m_platform)
        m_platform->SetMouseCapture(true);
}

void MWindow::ReleaseCapture()
{
    if (m_platform)
        m_platform->SetMouseCapture(false);
}

void MWindow::SetFocus()
{
    if (m_platform)
        m_platform->Raise();
}

UINT MWindow::SetTimer(UINT id, UINT ms, TIMERPROC proc)
{
    return m_hWnd && SetWindowTimerProc(m_hWnd, id, ms, proc) ? (id ? id : 1) : 0;
}

int MWindow::KillTimer(UINT id) { return m_hWnd && KillWindowTimer(m_hWnd, id) ? 1 : 0; }

Point MWindow::ClientToScreen(Point pt) const
{
    const Rect r = GetWindowRect();
    return Point(pt.x + r.left, pt.y + r.top);
}

Rect MWindow::ClientToScreen(Rect rc) const
{
    const Rect r = GetWindowRect();
    rc.OffsetRect(r.left, r.top);
    return rc;
}

Point MWindow::ScreenToClient(Point pt) const
{
    const Rect r = GetWindowRect();
    return Point(pt.x - r.left, pt.y - r.top);
}

Rect MWindow::ScreenToClient(Rect rc) const
{
    const Rect r = GetWindowRect();
    rc.OffsetRect(-r.left, -r.top);
    return rc;
}

void MWindow::ApplyBounds(const Rect& screenRect)
{
    if (!m_platform)
        return;
    const Rect before = m_platform->GetBounds();
    m_platform->SetBounds(screenRect);
    const Rect after = m_platform->GetBounds();
    if (after.TopLeft() != before.TopLeft())
        OnWindowMessage(WM_MOVE, 0, MAKELPARAM(after.left, after.top));
    if (!m_platform)
        return; // a handler destroyed the window
    if (after.Width() != before.Width() || after.Height() != before.Height()) {
        NoteClientSize(after.Width(), after.Height());
        OnWindowMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.Width(), after.Height()));
        Invalidate();
    }
}

int MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!m_platform)
        return 0;
    if (insertAfter == HWND_TOPMOST) {
        m_exStyle |= WS_EX_TOPMOST;
        m_platform->SetTopmost(true);
    } else if (insertAfter == HWND_NOTOPMOST) {
        m_exStyle &= ~WS_EX_TOPMOST;
        m_platform->SetTopmost(false);
    } else if (!(flags & SWP_NOZORDER) && !(flags & SWP_NOACTIVATE)) {
        m_platform->Raise();
    }
    Rect r = m_platform->GetBounds();
    if (!(flags & SWP_NOMOVE))
        r = Rect(x, y, x + r.Width(), y + r.Height());
    if (!(flags & SWP_NOSIZE))
        r = Rect(r.left, r.top, r.left + cx, r.top + cy);
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        ApplyBounds(r);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return 1;
}

int MWindow::MoveWindow(int x, int y, int cx, int cy, int)
{
    if (!m_platform)
        return 0;
    ApplyBounds(Rect(x, y, x + cx, y + cy));
    return 1;
}

LRESULT MWindow::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? Lumo::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

int MWindow::PostMessageW(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd && Lumo::PostMessageW(m_hWnd, message, wParam, lParam) ? 1 : 0;
}

bool EnableWindow(HWND hwnd, bool enable)
{
    MWindow* w = MWindow::FromHandle(hwnd);
    return w && w->EnableWindow(enable ? 1 : 0);
}

bool IsWindowEnabled(HWND hwnd)
{
    MWindow* w = MWindow::FromHandle(hwnd);
    return w && w->IsWindowEnabled();
}

void SetFocus(HWND hwnd)
{
    if (MWindow* w = MWindow::FromHandle(hwnd))
        w->SetFocus();
}

} // namespace Lumo
