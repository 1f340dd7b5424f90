// Input side of the paint manager: which control gets the mouse, the keyboard, the focus
// and the tooltip.
#include "DragSession.h"
#include "DroppedFiles.h"
#include "lumo/Image.h"
#include "lumo/MControl.h"
#include "lumo/MWindow.h"
#include "lumo/Messages.h"
#include "lumo/PaintManager.h"
#include "lumo/PlatformWindow.h"
#include "lumo/TooltipWindow.h"

namespace Lumo {
namespace {
const Point kNowhere(-1, -1);

Point PointOf(LPARAM lParam) { return Point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

bool IsMouseMessage(UINT message)
{
    return (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK) || message == WM_MOUSEWHEEL;
}
} // namespace

LRESULT PaintManager::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_controls.ForEach([&](MControl* c) { return c->OnWindowMessage(message, wParam, lParam) != 0; }))
        return 0;
    const UINT flags = UINT(wParam & 0xFFFF);
    if (m_tooltipWindow && IsMouseMessage(message))
        m_tooltipWindow->OnMouseMessage(message);
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info) {
            if (m_minTrack.cx > 0 && m_minTrack.cy > 0)
                info->ptMinTrackSize = Point(m_minTrack.cx, m_minTrack.cy);
            if (m_maxTrack.cx > 0 && m_maxTrack.cy > 0) {
                info->ptMaxTrackSize = Point(m_maxTrack.cx, m_maxTrack.cy);
                info->ptMaxSize = info->ptMaxTrackSize;
            }
        }
        return 1;
    }
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        OnActivate(wParam != 0);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return RouteKeyDown(UINT(wParam), lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_TIMER:
        HandleTimer(UINT(wParam));
        return 0;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        const HWND child{std::uint32_t(lParam)};
        if (lParam && IsWindow(child))
            return Lumo::SendMessageW(child, message + OCM_BASE, wParam, lParam);
        return 0;
    }
    case WM_DROPFILES:
        DeliverDroppedFiles();
        return 1;
    case WM_MOUSEMOVE:
        RouteMouseMove(flags, PointOf(lParam));
        return 1;
    case WM_MOUSELEAVE:
        RouteMouseLeave();
        return 1;
    case WM_LBUTTONDOWN:
        return RouteButtonDown(true, flags, PointOf(lParam));
    case WM_RBUTTONDOWN:
        return RouteButtonDown(false, flags, PointOf(lParam));
    case WM_LBUTTONUP:
        return RouteButtonUp(true, flags, PointOf(lParam));
    case WM_RBUTTONUP:
        return RouteButtonUp(false, flags, PointOf(lParam));
    case WM_LBUTTONDBLCLK:
        return RouteDblClk(true, flags, PointOf(lParam));
    case WM_RBUTTONDBLCLK:
        return RouteDblClk(false, flags, PointOf(lParam));
    case WM_MOUSEWHEEL:
        return RouteWheel(wParam, lParam);
    default:
        return 0;
    }
}

MControl* PaintManager::HitTest(Point pt)
{
    MControl* hit = nullptr;
    m_controls.ForEach([&](MControl* c) {
        if (c->IsVisible() && c->GetRresponse() && c->PtInRect(pt))
            hit = c;
        return false;
    });
    return hit;
}

bool PaintManager::IsDragSpot(Point pt)
{
    if (!m_wndDrag)
        return false;
    MControl* hit = HitTest(pt);
    return !hit || !hit->OnCheckMouseResponse(0, pt);
}

void PaintManager::ArmTracking() { m_tracking = true; }

void PaintManager::RouteMouseMove(UINT flags, Point pt)
{
    if (!m_tracking)
        ArmTracking();
    m_lastMouse = pt;
    if (m_drag) {
        m_drag->Move(m_owner->ClientToScreen(pt));
        return;
    }
    if (m_dragArmed && m_pressed && (flags & MK_LBUTTON) && DragSession::IsDragMove(m_dragStart, pt)) {
        StartDrag(pt);
        if (m_drag)
            return;
    }
    if (m_hover && m_hover->PtInRect(pt) && m_hover->OnCheckMouseResponse(flags, pt)) {
        m_hover->OnMouseMove(flags, pt);
        return;
    }
    ClearTooltip();
    if (m_pressed) {
        // The control that took the press keeps getting the moves, inside the window or not.
        if (m_hover)
            m_hover->OnMouseMove(flags, pt);
        return;
    }
    MControl* hover = nullptr;
    m_controls.ForEach([&](MControl* c) {
        c->OnMouseMove(flags, pt);
        if (c->PtInRect(pt) && c->GetRresponse())
            hover = c;
        return false;
    });
    m_hover = hover;
}

void PaintManager::RouteMouseLeave()
{
    ClearTooltip();
    m_tracking = false;
    if (m_pressed)
        return;
    if (m_hover)
        m_hover->OnMouseMove(0, kNowhere);
    m_hover = nullptr;
}

int PaintManager::RouteButtonDown(bool left, UINT flags, Point pt)
{
    // The desktop moves the pointer before it presses; without a move the hover is refreshed here.
    if (!m_pressed && (!m_hover || !m_hover->PtInRect(pt)))
        m_hover = HitTest(pt);
    if (m_focus && m_focus != m_hover)
        SetFocusControl(nullptr);
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
        hover->OnCheckMouseResponse(flags, pt)) {
        if (left && hover->IsDragDrop() && hover->IsEnabled()) {
            m_dragArmed = true;
            m_dragStart = pt;
        }
        m_pressed = true;
        SetFocusControl(hover);
        if (left)
            hover->OnLButtonDown(flags, pt);
        else
            hover->OnRButtonDown(flags, pt);
        if (!m_captured && m_owner) {
            m_owner->SetCapture();
            m_captured = true;
        }
        return 1;
    }
    if (left && m_wndDrag && m_owner) {
        m_owner->ReleaseCapture();
        m_captured = false;
        const Point screen = m_owner->ClientToScreen(pt);
        m_owner->SendMessageW(WM_NCLBUTTONDOWN, WPARAM(HTCAPTION), MAKELPARAM(screen.x, screen.y));
    }
    return 0;
}

int PaintManager::RouteButtonUp(bool left, UINT flags, Point pt)
{
    // A drag ends where the pointer is, inside this window: the button-up goes out as for
    // any release, then the window receives the dragged picture.
    std::unique_ptr<Canvas> dropped;
    if (m_drag && left) {
        dropped = m_drag->Finish();
        m_drag.reset();
    }
    if (m_captured && m_owner)
        m_owner->ReleaseCapture();
    m_captured = false;
    m_pressed = false;
    m_dragArmed = false;
    int result = 0;
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        const Rect before = hover->GetRect();
        if (left)
            hover->OnLButtonUp(flags, pt);
        else
            hover->OnRButtonUp(flags, pt);
        if (m_hover == hover && !before.PtInRect(pt))
            m_hover = nullptr;
        result = 1;
    }
    if (dropped && m_owner)
        m_owner->SendMessageW(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(dropped.get()));
    return result;
}

void PaintManager::StartDrag(Point pt)
{
    m_dragArmed = false;
    Canvas* picture = m_hover ? m_hover->GetControlDropBitmap() : nullptr;
    if (!picture || !m_owner)
        return; // nothing to offer: the press goes on as an ordinary one
    m_captured = false; // the drag takes the pointer over from the capture
    m_drag = std::make_unique<DragSession>(*m_owner, *picture, m_owner->ClientToScreen(pt));
}

void PaintManager::CancelDrag()
{
    m_drag.reset();
    m_dragArmed = false;
}

void PaintManager::DeliverDroppedFiles()
{
    for (const std::wstring& path : DroppedFiles::Take(m_hwnd)) {
        auto image = Image::LoadFromFile(path);
        if (!image || !m_owner)
            continue; // only pictures can be dropped
        const Point pt = m_owner->ScreenToClient(GetPlatformBackend().GetCursorPos());
        m_owner->SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        m_owner->SendMessageW(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&image->Frame(0)));
    }
}

int PaintManager::RouteDblClk(bool left, UINT flags, Point pt)
{
    if (!m_hover || !m_hover->PtInRect(pt))
        m_hover = HitTest(pt);
    if (m_focus && m_focus != m_hover)
        SetFocusControl(nullptr);
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse() || !hover->PtInRect(pt) ||
        !hover->OnCheckMouseResponse(flags, pt))
        return 0;
    (left ? m_dblClkLeft : m_dblClkRight) = true;
    m_pressed = true;
    SetFocusControl(hover);
    if (left)
        hover->OnLButtonDblClk(flags, pt);
    else
        hover->OnRButtonDblClk(flags, pt);
    if (!m_captured && m_owner) {
        m_owner->SetCapture();
        m_captured = true;
    }
    return 1;
}

int PaintManager::RouteWheel(WPARAM wParam, LPARAM lParam)
{
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    Point pt = PointOf(lParam);
    if (m_owner)
        pt = m_owner->ScreenToClient(pt);
    const int notches = delta / WHEEL_DELTA;
    const UINT direction = delta < 0 ? 1 : 0; // 1: turned towards the user
    int consumed = 0;
    for (int i = 0; i < std::abs(notches); ++i) {
        if (m_hover && m_hover->OnScroll(1, direction, pt)) {
            consumed = 1;
            continue;
        }
        if (m_controls.ForEach([&](MControl* c) { return c->OnScroll(1, direction, pt) != 0; }))
            consumed = 1;
    }
    return consumed;
}

UINT PaintManager::ModifierCode() const
{
    const auto& backend = GetPlatformBackend();
    UINT code = MODIFIER_NONE;
    if (backend.IsKeyHeld(VK_MENU))
        code = MODIFIER_ALT;
    else if (backend.IsKeyHeld(VK_SHIFT))
        code = MODIFIER_SHIFT;
    if (backend.IsKeyHeld(VK_CONTROL))
        code |= MODIFIER_CTRL;
    return code;
}

int PaintManager::RouteKeyDown(UINT key, LPARAM)
{
    if (m_drag && key == VK_ESCAPE) {
        CancelDrag();
        return 1;
    }
    const UINT modifiers = ModifierCode();
    if (m_hover && m_hover->OnKeyDown(key, 1, modifiers))
        return 1;
    return m_controls.ForEach([&](MControl* c) { return c->OnKeyDown(key, 1, modifiers) != 0; }) ? 1 : 0;
}

void PaintManager::OnActivate(bool active)
{
    m_active = active;
    if (!active) {
        CancelDrag();
        m_tracking = false;
        if (m_captured && m_owner)
            m_owner->ReleaseCapture();
        m_captured = false;
        m_dblClkLeft = m_dblClkRight = false;
        if (m_hover) {
            if (m_pressed)
                m_hover->OnLButtonUp(0, kNowhere);
            else
                m_hover->OnMouseMove(0, kNowhere);
        }
        m_pressed = false;
        m_hover = nullptr;
    }
    Invalidate();
}

bool PaintManager::MoveFocusByTab(bool backwards)
{
    const auto items = m_controls.Items();
    std::vector<MControl*> focusable;
    for (MControl* c : items) {
        if (c->IsVisible() && c->IsEnabled() && c->IsTabStop())
            focusable.push_back(c);
    }
    if (focusable.empty())
        return false;
    MControl* next = nullptr;
    const int current = m_focus ? int(std::find(focusable.begin(), focusable.end(), m_focus) - focusable.begin()) : -1;
    const int n = int(focusable.size());
    if (current < 0 || current >= n) {
        // Not on a focusable control: the first one after it in list order (or the first / last).
        const int at = m_focus ? int(std::find(items.begin(), items.end(), m_focus) - items.begin()) : -1;
        if (!backwards) {
            for (MControl* c : focusable) {
                if (at < 0 || int(std::find(items.begin(), items.end(), c) - items.begin()) > at) {
                    next = c;
                    break;
                }
            }
            if (!next)
                next = focusable.front();
        } else {
            for (auto it = focusable.rbegin(); it != focusable.rend(); ++it) {
                if (at < 0 || int(std::find(items.begin(), items.end(), *it) - items.begin()) < at) {
                    next = *it;
                    break;
                }
            }
            if (!next)
                next = focusable.back();
        }
    } else {
        next = focusable[std::size_t(backwards ? (current + n - 1) % n : (current + 1) % n)];
    }
    if (next == m_focus)
        return false;
    SetFocusControl(next);
    return true;
}

int PaintManager::PreTranslateMessage(const Message* msg)
{
    if (!msg || msg->hwnd != m_hwnd)
        return 0;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->wParam == VK_TAB) {
        const auto& backend = GetPlatformBackend();
        const bool shift = backend.IsKeyHeld(VK_SHIFT);
        const bool others = backend.IsKeyHeld(VK_CONTROL) || backend.IsKeyHeld(VK_MENU);
        if (!others && MoveFocusByTab(shift))
            return 1;
    }
    return 0;
}

void PaintManager::ShowCursor(CursorKind cursor)
{
    if (m_owner && m_owner->GetPlatformWindow())
        m_owner->GetPlatformWindow()->SetCursor(cursor);
}

void PaintManager::ShowTooltip(const std::wstring& text, Rect rect, MControl* owner)
{
    if (text.empty()) {
        ClearTooltip();
        return;
    }
    m_tooltipText = text;
    m_tooltipRect = rect;
    m_tooltipOwner = owner;
    m_tooltipId = owner ? owner->GetControlID() : 0;
    if (!m_tooltipWindow && m_owner && m_owner->GetSafeHwnd())
        m_tooltipWindow = std::make_unique<TooltipWindow>(*m_owner);
    if (m_tooltipWindow)
        m_tooltipWindow->SetText(text);
}

void PaintManager::ClearTooltip()
{
    m_tooltipText.clear();
    m_tooltipOwner = nullptr;
    m_tooltipId = 0;
    if (m_tooltipWindow)
        m_tooltipWindow->Hide();
}

void PaintManager::SetWindowMixSize(int cx, int cy)
{
    m_minTrack = Size{cx, cy};
    if (m_owner && m_owner->GetPlatformWindow() && cx > 0 && cy > 0)
        m_owner->GetPlatformWindow()->SetMinimumSize(cx, cy);
}

void PaintManager::SetWindowMaxSize(int cx, int cy)
{
    m_maxTrack = Size{cx, cy};
    if (m_owner && m_owner->GetPlatformWindow() && cx > 0 && cy > 0)
        m_owner->GetPlatformWindow()->SetMaximumSize(cx, cy);
}

} // namespace Lumo
