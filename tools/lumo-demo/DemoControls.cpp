#include "DemoControls.h"

#include "lumo/Image.h"
#include "lumo/MRender.h"
#include "lumo/Notifications.h"

namespace Demo {

void Picture::DrawControl(Canvas& dc, Rect)
{
    if (const ImgResInfo* info = GetImageInfo())
        dc.DrawScaled(info->image->Frame(), Rect(0, 0, info->frameWidth, info->height), m_rect);
}

void Label::DrawControl(Canvas& dc, Rect)
{
    MRender::DrawString(dc, m_title, m_rect, GetFontSpec(), m_textColor, m_hAlign, m_vAlign);
}

void StripButton::DrawControl(Canvas& dc, Rect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (!GetUpdate() || !GetMemDC()) {
        // The cache holds the four state frames over the background they sit on.
        UpdateMemDC(dc, w * 4, h);
        Canvas& cache = *GetMemDC();
        const ImgResInfo* info = GetImageInfo();
        for (int i = 0; i < 4; ++i) {
            cache.CopyFrom(dc, m_rect, Point(i * w, 0));
            if (info)
                MRender::DrawImageFrame(cache, info->image->Frame(), Rect(i * w, 0, i * w + w, h),
                                        std::min(i, info->frameCount - 1) * info->frameWidth, 0, info->frameWidth,
                                        info->height, 10);
            Rect text(i * w, 0, i * w + w, h);
            if (i == 2)
                text.OffsetRect(1, 1);
            MRender::DrawString(cache, m_title, text, GetFontSpec(), i == 3 ? 0xFF808080 : m_textColor, DT_CENTER,
                                DT_VCENTER);
        }
    }
    const int frame = m_enabled ? m_state : 3;
    dc.CopyFrom(*GetMemDC(), Rect(frame * w, 0, frame * w + w, h), m_rect.TopLeft());
}

void StripButton::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

int StripButton::OnControlMouseMove(UINT, Point pt)
{
    if (m_pressed)
        SetState(m_rect.PtInRect(pt) ? 2 : 1);
    else
        SetState(m_rect.PtInRect(pt) ? 1 : 0);
    return 1;
}

int StripButton::OnControlLButtonDown(UINT, Point)
{
    SetState(2);
    SendMessageW(MN_LBUTTONDOWN, 0, 0);
    return 1;
}

int StripButton::OnControlLButtonUp(UINT, Point pt)
{
    const bool inside = m_rect.PtInRect(pt);
    SetState(inside ? 1 : 0);
    if (inside)
        SendMessageW(MN_CLICK, 0, 0);
    return 1;
}

} // namespace Demo
