#include "lumo/MControl.h"

#include "lumo/Notifications.h"
#include "lumo/PaintManager.h"

#include <cwchar>

namespace Lumo {

MControl::MControl(MObject* parent, UINT id, Rect rect, int visible, int enabled, int response)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible), m_enabled(enabled), m_response(response)
{
}

MControl::~MControl()
{
    RemoveAllControl();
    if (m_manager)
        m_manager->OnControlDestroyed(this);
}

void MControl::InitControl(PaintManager*) {}

int MControl::PtInRect(Point pt) { return m_visible && m_rect.PtInRect(pt) ? 1 : 0; }

int MControl::DrawSubControls(Canvas& dc, Rect clip)
{
    m_controls.ForEach([&](MControl* c) {
        if (c->IsVisible())
            c->Draw(dc, clip);
        return false;
    });
    return 1;
}

int MControl::IsDraw(Point) { return 0; }

void MControl::SetUpdate(int update, DWORD color)
{
    m_update = update;
    auto pass = [&](MControl* c) {
        if (c->m_rect.Intersects(m_rect))
            c->SetUpdate(update, color);
        return false;
    };
    m_areaControls.ForEach(pass);
    m_controls.ForEach(pass);
}

int MControl::SetControlFocus(int focus)
{
    m_focused = focus ? 1 : 0;
    if (!focus) {
        m_controls.ForEach([](MControl* c) {
            c->SetControlFocus(0);
            return false;
        });
    }
    return 0;
}

void MControl::InitUI(Rect) {}
int MControl::OnMousePointChange(Point&) { return 0; }
int MControl::OnCheckMouseResponse(UINT, Point) { return 1; }
int MControl::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
int MControl::OnMessage(UINT, UINT, UINT, LPARAM) { return 0; }
void MControl::SetControlRect(Rect rect) { m_rect = rect; }
void MControl::SetControlVisible(int visible) { m_visible = visible; }
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled) { m_enabled = enabled; }
int MControl::OnControlTimer() { return 0; }
Canvas* MControl::GetControlDropBitmap() { return nullptr; }
int MControl::OnControlMouseMove(UINT, Point) { return 0; }

int MControl::OnControlSetCursor(UINT, Point pt)
{
    if (m_cursor == CursorKind::None || !m_rect.PtInRect(pt) || !m_manager)
        return 0;
    m_manager->ShowCursor(m_cursor);
    return 1;
}

int MControl::OnControlLButtonDown(UINT, Point) { return 0; }
int MControl::OnControlLButtonUp(UINT, Point) { return 0; }
int MControl::OnControlLButtonDblClk(UINT, Point) { return 0; }
int MControl::OnControlScroll(int, UINT, Point) { return 0; }
int MControl::OnControlRButtonDown(UINT, Point) { return 0; }
int MControl::OnControlRButtonUp(UINT, Point) { return 0; }
int MControl::OnControlRButtonDblClk(UINT, Point) { return 0; }
int MControl::OnControlKeyDown(UINT, UINT, UINT) { return 0; }
void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const Rect* rect, int erase)
{
    if (m_manager)
        m_manager->InvalidateRect(rect ? *rect : m_rect, erase);
}

void MControl::SetRect(Rect rect)
{
    const Rect old = m_rect;
    SetControlRect(rect);
    if (m_visible && m_parent)
        m_parent->OnControlUpdate(old.Union(m_rect), 1, this);
}

void MControl::SetRect(int x, int y, int cx, int cy) { SetRect(Rect(x, y, x + cx, y + cy)); }

void MControl::SetVisible(int visible) { SetVisible(visible, 1); }

void MControl::SetVisible(int visible, int update)
{
    if ((visible != 0) == (m_visible != 0))
        return;
    SetControlVisible(visible);
    if (update && m_parent)
        m_parent->OnControlUpdate(m_rect, 1, this);
}

void MControl::SetEnabled(int enabled)
{
    if ((enabled != 0) == (m_enabled != 0))
        return;
    SetControlEnabled(enabled);
    if (m_visible && m_parent)
        m_parent->OnControlUpdate(m_rect, 1, this);
}

int MControl::IsParentVisible() const
{
    const MObject* owner = m_parent;
    while (owner) {
        const auto* control = dynamic_cast<const MControl*>(owner);
        if (!control)
            return 1; // reached the window (or whatever object tops the tree)
        if (!control->m_visible)
            return 0;
        owner = control->m_parent;
    }
    return 0;
}

void MControl::UpdateControl(int erase, int force)
{
    if ((m_visible || force) && m_parent)
        m_parent->OnControlUpdate(m_rect, erase, this);
}

void MControl::UpdateControl(Rect rect, int force, int erase)
{
    if ((m_visible || force) && m_parent)
        m_parent->OnControlUpdate(rect, erase, this);
}

MControl* MControl::GetControl(UINT id)
{
    MControl* found = nullptr;
    auto search = [&](MControl* c) {
        if (c->m_id == id) {
            found = c;
            return true;
        }
        found = c->GetControl(id);
        return found != nullptr;
    };
    if (!m_controls.ForEach(search))
        m_areaControls.ForEach(search);
    return found;
}

void MControl::RemoveControl(MControl* control)
{
    if (!control)
        return;
    if (m_manager && m_manager->GetFocusControl() == control)
        m_manager->SetFocusControl(nullptr);
    if (m_hotChild == control)
        m_hotChild = nullptr;
    if (!m_controls.Remove(control))
        m_areaControls.Remove(control);
}

void MControl::RemoveAllControl()
{
    m_hotChild = nullptr;
    m_areaControls.Clear();
    m_controls.Clear();
}

MControl* MControl::AddChild(std::unique_ptr<MControl> child, UINT kind)
{
    if (!child)
        return nullptr;
    if (kind == 1)
        return m_controls.Add(std::move(child));
    if (kind == 0)
        return m_areaControls.Add(std::move(child));
    return nullptr;
}

void MControl::SetManager(PaintManager* manager)
{
    m_manager = manager;
    InitControl(manager);
}

int MControl::SendMessageW(UINT code, UINT wParam, LPARAM lParam)
{
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

void MControl::AddMTimer()
{
    if (m_manager)
        m_manager->AddMTimer(this);
}

void MControl::ClearTooltip()
{
    if (m_manager)
        m_manager->ClearTooltip();
}

void MControl::SetTooltip(const std::wstring& text, Rect rect)
{
    if (m_manager)
        m_manager->ShowTooltip(text, rect, this);
}

void MControl::SetCursorEx(const wchar_t* name)
{
    struct Entry {
        const wchar_t* name;
        CursorKind kind;
    };
    static constexpr Entry kCursors[] = {
        {L"arrow", CursorKind::Arrow},   {L"wait", CursorKind::Wait},     {L"cross", CursorKind::Cross},
        {L"sizewe", CursorKind::SizeWE}, {L"sizens", CursorKind::SizeNS}, {L"hand", CursorKind::Hand},
        {L"help", CursorKind::Help},
    };
    if (!name)
        return;
    for (const auto& e : kCursors) {
        if (std::wcscmp(e.name, name) == 0) {
            m_cursor = e.kind;
            return;
        }
    }
}

int MControl::IsFocusControl() const { return m_manager && m_manager->GetFocusControl() == this ? 1 : 0; }

void MControl::TakeFocus()
{
    if (m_manager)
        m_manager->SetFocusControl(this);
    else
        SetControlFocus(1);
}

// ---- routing ----

int MControl::RouteButtonDown(Button button, UINT flags, Point pt)
{
    if (!m_visible || !m_response)
        return 0;
    Point local = pt;
    OnMousePointChange(local);
    m_pressed = m_rect.PtInRect(pt) ? 1 : 0;
    m_hotChild = nullptr;
    m_controls.ForEach([&](MControl* c) {
        const Point cp = KeepsWindowPoint(c) ? pt : local;
        if (c->PtInRect(cp) && c->m_visible && c->m_enabled && c->m_response)
            m_hotChild = c;
        return false;
    });
    if (m_hotChild) {
        const Point cp = KeepsWindowPoint(m_hotChild) ? pt : local;
        return button == Button::Left ? m_hotChild->OnLButtonDown(flags, cp) : m_hotChild->OnRButtonDown(flags, cp);
    }
    TakeFocus();
    return button == Button::Left ? OnControlLButtonDown(flags, local) : OnControlRButtonDown(flags, local);
}

int MControl::RouteButtonUp(Button button, UINT flags, Point pt)
{
    if (!m_visible || !m_response)
        return 0;
    Point local = pt;
    OnMousePointChange(local);
    m_pressed = 0;
    if (m_hotChild) {
        const Point cp = KeepsWindowPoint(m_hotChild) ? pt : local;
        return button == Button::Left ? m_hotChild->OnLButtonUp(flags, cp) : m_hotChild->OnRButtonUp(flags, cp);
    }
    return button == Button::Left ? OnControlLButtonUp(flags, local) : OnControlRButtonUp(flags, local);
}

int MControl::RouteDblClk(Button button, UINT flags, Point pt)
{
    if (!m_visible || !m_response)
        return 0;
    if (!m_dblClk) {
        // A control that does not take double clicks sees a second press instead; it is
        // routed as one so that it is delivered exactly once, wherever it ends up.
        return RouteButtonDown(button, flags, pt);
    }
    Point local = pt;
    OnMousePointChange(local);
    m_pressed = 0;
    if (m_hotChild) {
        const Point cp = KeepsWindowPoint(m_hotChild) ? pt : local;
        return button == Button::Left ? m_hotChild->OnLButtonDblClk(flags, cp)
                                      : m_hotChild->OnRButtonDblClk(flags, cp);
    }
    return button == Button::Left ? OnControlLButtonDblClk(flags, local) : OnControlRButtonDblClk(flags, local);
}

int MControl::OnLButtonDown(UINT flags, Point pt) { return RouteButtonDown(Button::Left, flags, pt); }
int MControl::OnRButtonDown(UINT flags, Point pt) { return RouteButtonDown(Button::Right, flags, pt); }
int MControl::OnLButtonUp(UINT flags, Point pt) { return RouteButtonUp(Button::Left, flags, pt); }
int MControl::OnRButtonUp(UINT flags, Point pt) { return RouteButtonUp(Button::Right, flags, pt); }
int MControl::OnLButtonDblClk(UINT flags, Point pt) { return RouteDblClk(Button::Left, flags, pt); }
int MControl::OnRButtonDblClk(UINT flags, Point pt) { return RouteDblClk(Button::Right, flags, pt); }

int MControl::OnMouseMove(UINT flags, Point pt)
{
    if (!m_visible || !m_response)
        return 0;
    Point local = pt;
    OnMousePointChange(local);
    auto childPoint = [&](const MControl* c) { return KeepsWindowPoint(c) ? pt : local; };

    if (m_hotChild) {
        const Point cp = childPoint(m_hotChild);
        if (m_pressed || (m_hotChild->PtInRect(cp) && m_hotChild->OnCheckMouseResponse(flags, cp)))
            return m_hotChild->OnMouseMove(flags, cp);
    }
    MControl* before = m_hotChild;
    m_hotChild = nullptr;

    if (m_manager && !m_tooltip.empty() && m_rect.PtInRect(pt) && OnCheckMouseResponse(flags, local) &&
        m_manager->GetTooltipOwner() != this)
        m_manager->ShowTooltip(m_tooltip, m_rect, this);

    OnControlSetCursor(flags, pt);
    const int hooks = OnControlMouseMove(flags, local);
    if (m_pressed)
        return hooks;

    m_controls.ForEach([&](MControl* c) {
        const Point cp = childPoint(c);
        if (c->OnMouseMove(flags, cp) && c->PtInRect(cp))
            m_hotChild = c;
        return false;
    });
    return (m_hotChild || before) ? 1 : hooks;
}

int MControl::OnScroll(int delta, UINT flags, Point pt)
{
    if (!m_visible || !m_response || !m_enabled)
        return 0;
    Point local = pt;
    OnMousePointChange(local);
    auto childPoint = [&](const MControl* c) { return KeepsWindowPoint(c) ? pt : local; };
    if (m_hotChild) {
        const Point cp = childPoint(m_hotChild);
        if (m_hotChild->PtInRect(cp) && m_hotChild->OnCheckMouseResponse(flags, cp) &&
            m_hotChild->OnScroll(delta, flags, cp))
            return 1;
    }
    if (m_rect.PtInRect(pt) && OnControlScroll(delta, flags, local))
        return 1;
    return m_controls.ForEach([&](MControl* c) {
        const Point cp = childPoint(c);
        return c->PtInRect(cp) && c->OnScroll(delta, flags, cp) != 0;
    })
               ? 1
               : 0;
}

int MControl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!m_visible || !m_response)
        return 0;
    MControl* focusedChild = nullptr;
    m_controls.ForEach([&](MControl* c) {
        if (c->m_focused)
            focusedChild = c;
        return focusedChild != nullptr;
    });
    if (focusedChild)
        return focusedChild->OnKeyDown(key, repeat, flags);
    if (m_hotChild && m_hotChild->OnKeyDown(key, repeat, flags))
        return 1;
    int consumed = OnControlKeyDown(key, repeat, flags);
    if (!consumed)
        consumed = m_controls.ForEach([&](MControl* c) { return c->OnKeyDown(key, repeat, flags) != 0; }) ? 1 : 0;
    SendMessageW(MN_KEYDOWN, key, LPARAM(flags));
    return consumed ? 1 : 0;
}

int MControl::OnTimer()
{
    int result = OnControlTimer() ? 1 : 0;
    m_controls.ForEach([&](MControl* c) {
        if (c->m_runTimer && c->m_visible && c->OnTimer())
            result = 1;
        return false;
    });
    return result;
}

void MControl::Draw(Canvas& dc, Rect clip)
{
    if (!m_visible || !m_rect.Intersects(clip))
        return;
    m_areaControls.ForEach([&](MControl* c) {
        if (c->m_rect.Intersects(m_rect))
            c->Draw(dc, clip);
        return false;
    });
    DrawControl(dc, clip);
    DrawSubControls(dc, clip);
}

void MControl::UpdateMemDC(Canvas&, int cx, int cy)
{
    m_update = 1;
    if (!m_cache || m_cache->Width() != cx || m_cache->Height() != cy)
        m_cache = Canvas::Create(cx, cy);
}

} // namespace Lumo
