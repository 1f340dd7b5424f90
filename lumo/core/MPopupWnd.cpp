#include "lumo/MPopupWnd.h"

#include "lumo/MControl.h"
#include "lumo/MDialog.h"

namespace Lumo {

MPopupWnd::MPopupWnd() : m_pm(this) {}

MPopupWnd::~MPopupWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

int MPopupWnd::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    m_pm.EnableWndDrag(0);
    m_client = GetClientRect();
    InitUI(m_client);
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND)
{
    m_pm.DestroyData();
    PostNcDestroy();
}

void MPopupWnd::OnWindowCreated() { OnInitDialog(); }

LRESULT MPopupWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam)) ? 0 : -1;
    case WM_SIZE:
        OnSize(UINT(wParam), int(LOWORD(WPARAM(lParam))), int(HIWORD(WPARAM(lParam))));
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCACTIVATE:
        // Clicking anywhere else closes the pop-up.
        if (wParam == 0)
            PostMessageW(WM_CLOSE, 0, 0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_USER_CLOSE_REQUEST:
        return OnUserCloseWindow(UINT(wParam), lParam);
    default:
        break;
    }
    if (!m_hWnd)
        return 0;
    if (const LRESULT r = m_pm.OnWindowMessage(message, wParam, lParam))
        return r;
    return DefWindowProc(message, wParam, lParam);
}

int MPopupWnd::PreTranslateMessage(Message* msg) { return m_pm.PreTranslateMessage(msg); }
void MPopupWnd::InitUI(Rect) {}
void MPopupWnd::UISize(Rect) {}
int MPopupWnd::OnMessage(UINT, UINT, UINT, LPARAM) { return 0; }

int MPopupWnd::OnUserCloseWindow(UINT wParam, LPARAM lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

void MPopupWnd::CloseWindow() { PostMessageW(WM_CLOSE, 0, 0); }

int MPopupWnd::OnCreate(CREATESTRUCT* cs)
{
    if (cs) {
        cs->style = (cs->style & 0xFF3BFFFFu) | 0x06000008u;
        cs->exStyle |= WS_EX_TOOLWINDOW;
    }
    return 1;
}

int MPopupWnd::OnSize(UINT type, int, int)
{
    if (type == SIZE_MINIMIZED)
        return 0;
    m_client = GetClientRect();
    if (m_client.Width() > 1 && m_client.Height() > 1)
        UISize(m_client);
    Invalidate();
    return 0;
}

int MPopupWnd::OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

int MPopupWnd::OnControlUpdate(Rect rect, int erase, MControl* control)
{
    return m_pm.OnControlUpdate(rect, erase, control);
}

int MPopupWnd::SendMessageToParent(UINT code, UINT wParam, LPARAM lParam)
{
    if (auto* control = dynamic_cast<MControl*>(m_owner))
        return control->OnMessage(0, code, wParam, lParam);
    if (auto* dialog = dynamic_cast<MDialog*>(m_owner))
        return dialog->OnMessage(0, code, wParam, lParam);
    return m_owner ? m_owner->OnBaseMessage(0, code, wParam, lParam) : 0;
}

MControl* MPopupWnd::CreateControl(const wchar_t* className, UINT id, Rect rect, const wchar_t* title, int visible,
                                   int enabled)
{
    return m_pm.CreateControl(1, this, className, id, rect, title, visible, enabled);
}

} // namespace Lumo
