#include "lumo/Overlay.h"

#include "lumo/MRender.h"
#include "lumo/Manager.h"
#include "lumo/PaintManager.h"

namespace Lumo {
namespace {
constexpr UINT kHold = TIMER_OVERLAY_HOLD;
constexpr UINT kFade = TIMER_OVERLAY_FADE;
constexpr UINT kProgress = TIMER_PROGRESS;
} // namespace

void Overlay::StartTimer(UINT id, UINT ms)
{
    if (m_manager.GetHwnd())
        SetWindowTimer(m_manager.GetHwnd(), id, ms);
}

void Overlay::StopTimer(UINT id)
{
    if (m_manager.GetHwnd())
        KillWindowTimer(m_manager.GetHwnd(), id);
}

void Overlay::Reset()
{
    m_alpha = 0;
    m_shown = 0;
    m_target = 0;
    m_text.clear();
}

void Overlay::SetMessage(const std::wstring& text, Rect rect, int level)
{
    StopTimer(kFade);
    StopTimer(kProgress);
    m_alpha = 255;
    m_shown = 0;
    m_target = 0;
    m_text = text;
    m_level = level;
    m_rect = rect;
    m_manager.InvalidateRect(m_rect, 0);
    StartTimer(kHold, 3000);
}

void Overlay::SetProgress(int percent, const std::wstring& text, Rect rect)
{
    if (percent == m_target)
        return;
    if (percent < 5)
        StopTimer(kFade);
    m_alpha = 255;
    m_text = text;
    m_target = percent;
    if (rect.IsRectEmpty()) {
        const Rect client = m_manager.GetClientRect();
        rect = Rect(0, client.bottom - 60, client.right, client.bottom - 2);
    }
    m_manager.InvalidateRect(m_rect, 0);
    m_rect = rect;
    if (m_target - m_shown < 6) {
        m_shown = m_target;
        StopTimer(kProgress);
        if (m_shown > 99)
            StartFade();
    } else {
        StartTimer(kProgress, 10);
    }
    m_manager.InvalidateRect(m_rect, 0);
}

bool Overlay::OnTimer(UINT id)
{
    switch (id) {
    case kHold:
        StopTimer(kHold);
        StartFade();
        return true;
    case kFade:
        m_alpha -= 10;
        if (m_alpha < 20) {
            Reset();
            StopTimer(kFade);
            m_manager.Invalidate();
        } else {
            m_manager.InvalidateRect(m_rect, 0);
        }
        return true;
    case kProgress:
        m_shown = std::min(m_shown + 2, std::max(m_target, m_shown));
        if (m_shown >= m_target) {
            StopTimer(kProgress);
            if (m_shown >= 100)
                StartFade();
        }
        m_manager.InvalidateRect(m_rect, 0);
        return true;
    default:
        return false;
    }
}

void Overlay::Draw(Canvas& dc) const
{
    if (m_alpha <= 10 || m_text.empty())
        return;
    const auto a = BYTE(std::clamp(m_alpha, 0, 255));
    const Rect r = m_rect;
    MRender::DrawColor(dc, r, ArgbFromColorRef(RGB(0xE6, 0xE6, 0xE6), a));
    Rect inner = r;
    inner.DeflateRect(2, 2);
    MRender::DrawColor(dc, inner, ArgbFromColorRef(RGB(0xFE, 0xFE, 0xFE), a));
    const FontSpec font{Manager::GetFontName(), 12, 0};
    const ARGB textColor = MakeARGB(a, 0x05, 0x05, 0x05);
    const bool progress = m_target > 0 || m_shown > 0;
    if (!progress) {
        MRender::DrawString(dc, m_text, Rect(r.left + 5, r.top + 5, r.left + 195, r.top + 55), font, textColor,
                            DT_LEFT, DT_VCENTER);
        return;
    }
    MRender::DrawString(dc, m_text, Rect(r.left + 5, r.top + 5, r.left + 5 + r.Width() - 10, r.top + 35), font,
                        textColor, DT_CENTER, DT_VCENTER);
    // Track line and bar.
    MRender::DrawColor(dc, Rect(r.left + 10, r.bottom - 15, r.right - 20, r.bottom - 14), 0xC8C8C8C8);
    const int length = std::clamp(m_shown, 0, 100) * (r.Width() - 20) / 100;
    MRender::DrawColor(dc, Rect(r.left + 10, r.bottom - 16, r.left + 10 + length, r.bottom - 13), 0xFEFFE100);
}

} // namespace Lumo
