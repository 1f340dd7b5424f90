#include "lumo/TooltipWindow.h"

#include "lumo/MRender.h"
#include "lumo/MWindow.h"
#include "lumo/Manager.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

#include <algorithm>

namespace Lumo {
namespace {
constexpr int kPadX = 6;
constexpr int kPadY = 4;
constexpr int kFontPx = 12;
constexpr int kCursorHeight = 20; // the tip starts below the pointer's picture
constexpr ARGB kBackground = 0xFFFFFFFF;
constexpr ARGB kBorder = 0xFF767676;
constexpr ARGB kText = 0xFF1E1E1E;

FontSpec TipFont() { return FontSpec{Manager::GetFontName(), kFontPx, 0}; }
} // namespace

TooltipWindow::TooltipWindow(MWindow& owner) : m_owner(owner) {}

TooltipWindow::~TooltipWindow() { StopTimers(); }

std::unique_ptr<Canvas> TooltipWindow::Render(const std::wstring& text)
{
    const FontSpec font = TipFont();
    const Size textSize = MRender::MeasureString(text, font, kMaxWidth - 2 * kPadX);
    const int width = std::clamp(textSize.cx + 2 * kPadX, 2 * kPadX + 1, kMaxWidth);
    const int height = std::max(textSize.cy, kFontPx) + 2 * kPadY;
    auto canvas = Canvas::Create(width, height);
    if (!canvas)
        return nullptr;
    const Rect all = canvas->Bounds();
    MRender::DrawColor(*canvas, all, kBorder);
    MRender::DrawColor(*canvas, Rect(1, 1, width - 1, height - 1), kBackground);
    MRender::DrawString(*canvas, text, Rect(kPadX, kPadY, width - kPadX, height - kPadY), font, kText, DT_LEFT,
                        DT_TOP, true);
    return canvas;
}

Rect TooltipWindow::Place(Size tip, Point cursor, const Rect& work)
{
    int x = cursor.x;
    int y = cursor.y + kCursorHeight;
    if (y + tip.cy > work.bottom)
        y = cursor.y - tip.cy - 2; // no room below: above the pointer
    x = std::max(work.left, std::min(x, work.right - tip.cx));
    y = std::max(work.top, std::min(y, work.bottom - tip.cy));
    return Rect(x, y, x + tip.cx, y + tip.cy);
}

void TooltipWindow::SetText(const std::wstring& text)
{
    if (text.empty()) {
        Hide();
        return;
    }
    m_text = text;
    if (m_shown)
        ShowNow();
    else
        StartWaiting();
}

void TooltipWindow::Hide()
{
    StopTimers();
    m_text.clear();
    m_waiting = false;
    if (m_shown && m_window)
        m_window->Show(SW_HIDE);
    m_shown = false;
}

void TooltipWindow::OnMouseMessage(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (m_waiting)
            StartWaiting();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        // The tip goes; it comes back only for the next control that offers one.
        StopTimers();
        m_waiting = false;
        if (m_shown && m_window)
            m_window->Show(SW_HIDE);
        m_shown = false;
        break;
    default:
        break;
    }
}

bool TooltipWindow::OnTimer(UINT id)
{
    if (id == TIMER_TOOLTIP_SHOW) {
        m_owner.KillTimer(TIMER_TOOLTIP_SHOW);
        if (m_waiting && !m_text.empty())
            ShowNow();
        return true;
    }
    if (id == TIMER_TOOLTIP_HIDE) {
        m_owner.KillTimer(TIMER_TOOLTIP_HIDE);
        if (m_shown && m_window)
            m_window->Show(SW_HIDE);
        m_shown = false;
        return true;
    }
    return false;
}

void TooltipWindow::StartWaiting()
{
    m_waiting = true;
    m_owner.KillTimer(TIMER_TOOLTIP_SHOW);
    m_owner.SetTimer(TIMER_TOOLTIP_SHOW, kInitialDelayMs);
}

void TooltipWindow::ShowNow()
{
    m_waiting = false;
    m_owner.KillTimer(TIMER_TOOLTIP_SHOW);
    m_picture = Render(m_text);
    if (!m_picture)
        return;
    auto& backend = GetPlatformBackend();
    m_screen = Place(Size{m_picture->Width(), m_picture->Height()}, backend.GetCursorPos(), backend.GetWorkArea());
    if (!m_window) {
        m_window = backend.CreateWindow(PlatformWindowParams::Floating(m_screen, m_owner.GetSafeHwnd(), false), HWND{});
        if (!m_window)
            return;
    }
    m_window->SetBounds(m_screen);
    m_window->Show(SW_SHOWNOACTIVATE);
    m_window->Present(*m_picture, m_picture->Bounds(), false);
    m_shown = true;
    m_owner.KillTimer(TIMER_TOOLTIP_HIDE);
    m_owner.SetTimer(TIMER_TOOLTIP_HIDE, kAutoPopMs);
}

void TooltipWindow::StopTimers()
{
    m_owner.KillTimer(TIMER_TOOLTIP_SHOW);
    m_owner.KillTimer(TIMER_TOOLTIP_HIDE);
}

} // namespace Lumo
