#include "lumo/MDialog.h"

#include "lumo/MControl.h"
#include "lumo/MShadow.h"

namespace Lumo {

MDialog::MDialog() : m_pm(this) {}

MDialog::~MDialog()
{
    if (m_hWnd)
        DestroyWindow();
}

void MDialog::OnWindowCreated()
{
    OnInitDialog();
    int pending = 0;
    {
        std::lock_guard lock(m_closeLock);
        m_closeTarget = m_hWnd;
        pending = m_pendingClose;
        m_pendingClose = 0;
    }
    if (pending)
        PostMessageW(WM_USER_CLOSE_REQUEST, WPARAM(pending), 0);
}

int MDialog::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    m_client = GetClientRect();
    InitUI(m_client);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd)
{
    {
        std::lock_guard lock(m_closeLock);
        m_closeTarget = HWND{};
    }
    if (hwnd == m_pm.GetHwnd() || !m_pm.GetHwnd())
        m_pm.DestroyData();
    PostNcDestroy(); // may delete this
}

LRESULT MDialog::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_shadow)
        m_shadow->OnParentMessage(message, wParam, lParam);
    const Point pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = UINT(wParam & 0xFFFF);
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE: OnSize(UINT(wParam), int(LOWORD(WPARAM(lParam))), int(HIWORD(WPARAM(lParam)))); break;
    case WM_PAINT: OnPaint(); break;
    case WM_CLOSE: OnClose(); break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<void*>(lParam)); break;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<void*>(lParam)); break;
    case WM_NCACTIVATE: OnNcActivate(int(wParam)); break;
    case WM_TIMER: OnTimer(UINT(wParam)); break;
    case WM_LBUTTONDOWN: OnLButtonDown(flags, pt); break;
    case WM_LBUTTONUP: OnLButtonUp(flags, pt); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, pt); break;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, pt); break;
    case WM_RBUTTONUP: OnRButtonUp(flags, pt); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, pt); break;
    case WM_MOUSEMOVE: OnMouseMove(flags, pt); break;
    case WM_MOUSEHOVER: OnMouseHover(flags, pt); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_MOUSEWHEEL: OnMouseWheel(flags, GET_WHEEL_DELTA_WPARAM(wParam), pt); break;
    case WM_KEYDOWN: OnKeyDown(UINT(wParam), UINT(lParam & 0xFFFF), UINT((lParam >> 16) & 0xFFFF)); break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_NCHITTEST: OnNcHitTest(pt); break;
    case WM_ERASEBKGND: return 1;
    case WM_USER_CLOSE_REQUEST: return OnUserCloseWindow(UINT(wParam), lParam);
    default: break;
    }
    if (!m_hWnd)
        return 0; // a handler destroyed the window
    if (const LRESULT r = m_pm.OnWindowMessage(message, wParam, lParam))
        return r;
    return DefWindowProc(message, wParam, lParam);
}

int MDialog::PreTranslateMessage(Message* msg) { return m_pm.PreTranslateMessage(msg); }

Point MDialog::GetAirBladderPoint(MControl* control, UINT align)
{
    if (!control)
        return Point(0, 0);
    const Rect r = control->GetRect();
    const int x = align == 0 ? r.left : align == 1 ? (r.left + r.right) / 2 : r.right;
    return ClientToScreen(Point(x, r.bottom));
}

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }
void MDialog::OnMaximize() { ShowWindow(IsZoomed() ? SW_RESTORE : SW_MAXIMIZE); }
void MDialog::InitUI(Rect) {}
void MDialog::UISize(Rect) {}
int MDialog::OnMessage(UINT, UINT, UINT, LPARAM) { return 0; }

int MDialog::OnUserCloseWindow(UINT wParam, LPARAM lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

int MDialog::OnCreate(CREATESTRUCT* cs)
{
    if (cs)
        cs->style = (cs->style & 0xFF3BFFFFu) | 0x06000008u;
    return 1;
}

int MDialog::OnSize(UINT type, int, int)
{
    if (type == SIZE_MINIMIZED)
        return 0;
    SetupBackTranslucent();
    m_client = GetClientRect();
    if (m_client.Width() > 1 && m_client.Height() > 1)
        UISize(m_client);
    Invalidate();
    return 0;
}

int MDialog::OnMouseMove(UINT, Point) { return 0; }
int MDialog::OnMouseLeave() { return 0; }
int MDialog::OnMouseHover(UINT, Point) { return 0; }
int MDialog::OnMouseWheel(UINT, int, Point) { return 0; }
int MDialog::OnLButtonDown(UINT, Point) { return 0; }
int MDialog::OnLButtonUp(UINT, Point) { return 0; }
int MDialog::OnLButtonDblClk(UINT, Point) { return 0; }
int MDialog::OnRButtonDown(UINT, Point) { return 0; }
int MDialog::OnRButtonUp(UINT, Point) { return 0; }
int MDialog::OnRButtonDblClk(UINT, Point) { return 0; }
int MDialog::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MDialog::OnNcHitTest(Point) { return 0; }
int MDialog::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MDialog::OnNcCalcSize(int, void*) { return 0; }
int MDialog::OnNcActivate(int) { return 0; }
int MDialog::OnWindowPosChanging(void*) { return 1; }
int MDialog::OnWindowPosChanged(void*) { return 1; }
int MDialog::OnPaint() { return 0; }
void MDialog::OnTimer(UINT) {}
int MDialog::OnNcPaint() { return 0; }
int MDialog::OnClose() { return 1; }
int MDialog::OnDestroy() { return 0; }
int MDialog::PostNcDestroy() { return 0; }

int MDialog::OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

int MDialog::OnControlUpdate(Rect rect, int erase, MControl* control)
{
    return m_pm.OnControlUpdate(rect, erase, control);
}

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, Rect rect, const wchar_t* title, int visible,
                                 int enabled)
{
    return m_pm.CreateControl(1, this, className, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, Rect rect, const wchar_t* title, int visible,
                              int enabled)
{
    return m_pm.CreateControl(0, this, className, id, rect, title, visible, enabled);
}

MControl* MDialog::GetControl(UINT id) { return m_pm.GetControl(id); }
ControlList& MDialog::GetControls() { return m_pm.GetControls(); }
void MDialog::SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }

void MDialog::RequestClose(int result)
{
    // Under the lock: either the window exists and gets the request, or Create finds it
    // waiting once the window is there.
    std::lock_guard lock(m_closeLock);
    if (!m_closeTarget || !Lumo::PostMessageW(m_closeTarget, WM_USER_CLOSE_REQUEST, WPARAM(result), 0))
        m_pendingClose = result;
}

void MDialog::DoOK() { RequestClose(IDOK); }
void MDialog::DoCancel() { RequestClose(IDCANCEL); }
void MDialog::DoClose() { RequestClose(IDCANCEL); }
void MDialog::DoYes() { RequestClose(IDYES); }
void MDialog::DoNo() { RequestClose(IDNO); }

UINT MDialog::SetMTimer(UINT ms) { return m_pm.SetMTimer(ms); }
void MDialog::KillMTimer(UINT id) { m_pm.KillMTimer(id); }
void MDialog::SetLayeredWindow(int layered) { m_pm.SetLayeredWindow(layered); }
int MDialog::LoadBKImage(const std::wstring& path) { return m_pm.LoadBKImage(path); }
int MDialog::LoadBKImage(UINT resourceId, const std::wstring& type) { return m_pm.LoadBKImage(resourceId, type); }
void MDialog::SetBackMode(enumBackMode mode, int value) { m_pm.SetBackMode(mode, value); }
void MDialog::SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
void MDialog::EnableWndDrag(int enable) { m_pm.EnableWndDrag(enable); }
void MDialog::SetTooltip(const std::wstring& text, Rect rect) { m_pm.ShowTooltip(text, rect, nullptr); }
void MDialog::ClearTooltip() { m_pm.ClearTooltip(); }
void MDialog::SetTooltipCtrlID(UINT id) { m_pm.SetTooltipCtrlID(id); }
UINT MDialog::GetTooltipCtrlID() const { return m_pm.GetTooltipCtrlID(); }

void MDialog::SetMessage(const std::wstring& text, Rect rect, MsgLevel level)
{
    if (rect.IsRectEmpty()) {
        const Rect c = GetClientRect();
        const int left = c.left + (c.Width() - 200) / 2;
        rect = Rect(left, c.bottom - 60, left + 200, c.bottom - 2);
    }
    m_pm.SetMessage(text, rect, level);
}

void MDialog::SetProgress(int percent, const std::wstring& text, Rect rect) { m_pm.SetProgress(percent, text, rect); }

void MDialog::SetBackTranslucent(BYTE alpha, COLORREF colorKey)
{
    m_alpha = alpha;
    m_colorKey = colorKey;
    SetupBackTranslucent();
}

void MDialog::SetupBackTranslucent()
{
    if (!m_hWnd)
        return;
    if (m_alpha < 255 || m_colorKey != 0xFFFFFF)
        ModifyExStyle(0, WS_EX_LAYERED);
}

MShadow& MDialog::Shadow()
{
    if (!m_shadow)
        m_shadow = std::make_unique<MShadow>(*this);
    return *m_shadow;
}

int MDialog::CreateShadow(int show, bool again) { return Shadow().CreateShadow(show, again); }
int MDialog::SetSize(int size) { return Shadow().SetSize(size); }
int MDialog::SetSharpness(int sharpness) { return Shadow().SetSharpness(sharpness); }
int MDialog::SetDarkness(int darkness) { return Shadow().SetDarkness(darkness); }
int MDialog::SetPosition(int x, int y) { return Shadow().SetPosition(x, y); }
int MDialog::SetShadowColor(COLORREF color) { return Shadow().SetShadowColor(color); }
int MDialog::SetShadowImage(const std::wstring& path, Rect corners) { return Shadow().SetShadowImage(path, corners); }
int MDialog::SetShadowImage(UINT resourceId, Rect corners) { return Shadow().SetShadowImage(resourceId, corners); }
void MDialog::SetShadowShow(int show) { Shadow().SetShadowShow(show); }

} // namespace Lumo
