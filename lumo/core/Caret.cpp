#include "Caret.h"

#include "lumo/MControlFont.h"
#include "lumo/MRender.h"
#include "lumo/PaintManager.h"
#include "lumo/PlatformWindow.h"

namespace Lumo {

void Caret::Create(const Canvas* bitmap, int width, int height)
{
    m_bitmap.reset();
    if (bitmap) {
        // A copy: the caller's bitmap need not outlive the call.
        m_bitmap = Canvas::Create(bitmap->Width(), bitmap->Height());
        if (m_bitmap)
            m_bitmap->CopyFrom(*bitmap, bitmap->Bounds(), Point(0, 0));
        if (width <= 0)
            width = bitmap->Width();
        if (height <= 0)
            height = bitmap->Height();
    }
    m_manager.InvalidateRect(m_rect, 0);
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    m_rect = Rect(m_rect.left, m_rect.top, m_rect.left + m_width, m_rect.top + m_height);
    m_manager.InvalidateRect(m_rect, 0);
}

void Caret::SetPos(MControl* edit, int x, int y)
{
    m_manager.InvalidateRect(m_rect, 0);
    m_owner = edit;
    m_rect = Rect(x, y, x + m_width, y + m_height);
    m_manager.InvalidateRect(m_rect, 0);
}

void Caret::Show(int show)
{
    m_shown = show != 0;
    const HWND h = m_manager.GetHwnd();
    if (m_shown) {
        m_on = true;
        if (h)
            SetWindowTimer(h, TIMER_CARET, UINT(GetPlatformBackend().GetCaretBlinkTime()));
    } else {
        m_on = false;
        if (h)
            KillWindowTimer(h, TIMER_CARET);
    }
    m_manager.InvalidateRect(m_rect, 0);
}

bool Caret::Live() const { return m_shown && m_owner && m_owner->IsFocused() && m_manager.IsActive(); }

bool Caret::OnTimer(UINT id)
{
    if (id != TIMER_CARET)
        return false;
    if (!Live()) {
        m_on = false;
        if (m_manager.GetHwnd())
            KillWindowTimer(m_manager.GetHwnd(), TIMER_CARET);
    } else {
        m_on = !m_on;
    }
    m_manager.InvalidateRect(m_rect, 0);
    return true;
}

void Caret::Draw(Canvas& dc, const Rect& clip)
{
    if (!m_on || !Live() || !m_rect.Intersects(clip))
        return;
    if (m_bitmap) {
        dc.DrawScaled(*m_bitmap, m_bitmap->Bounds(), m_rect);
        return;
    }
    ARGB color = 0xFEFFFFFF;
    if (auto* font = dynamic_cast<MControlFont*>(m_owner))
        color = (font->GetTextColor() & 0x00FFFFFFu) | 0xFE000000u;
    MRender::DrawColor(dc, m_rect, color);
}

void Caret::Forget(const MControl* control)
{
    if (m_owner == control) {
        m_owner = nullptr;
        m_on = false;
    }
}

} // namespace Lumo
