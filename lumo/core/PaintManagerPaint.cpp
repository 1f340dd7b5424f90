// Painting side of the paint manager: redraw requests and the paint pipeline.
#include "Caret.h"
#include "lumo/MControl.h"
#include "lumo/MRender.h"
#include "lumo/MWindow.h"
#include "lumo/Overlay.h"
#include "lumo/PaintManager.h"
#include "lumo/PlatformWindow.h"

#include <cairo.h>
#include <chrono>
#include <thread>

namespace Lumo {

void PaintManager::Invalidate() { InvalidateRect(GetClientRect(), 1); }

void PaintManager::InvalidateRect(Rect rect, int erase)
{
    if (!m_owner || !m_owner->GetSafeHwnd())
        return;
    m_owner->InvalidateRect(m_layered ? GetClientRect() : rect, erase);
}

int PaintManager::OnControlUpdate(Rect rect, int erase, MControl* control)
{
    if (erase && control)
        control->SetUpdate(0, m_bodyColor);
    // The request's place in the drawing order is that of its top-level ancestor.
    MControl* marker = control;
    while (marker && !m_controls.Contains(marker) && !m_areas.Contains(marker))
        marker = dynamic_cast<MControl*>(marker->GetParantObject());
    Rect invalid = rect;
    bool after = marker == nullptr;
    auto visit = [&](MControl* c) {
        if (c == marker) {
            after = true;
            return false;
        }
        if (after && marker && c->IsVisible() && c->GetRect().Intersects(rect)) {
            c->SetUpdate(0, m_bodyColor);
            invalid = invalid.Union(c->GetRect());
        }
        return false;
    };
    m_areas.ForEach(visit);
    m_controls.ForEach(visit);
    InvalidateRect(invalid, erase);
    return 0;
}

void PaintManager::DrawBackground(Canvas& dc)
{
    const Rect client = dc.Bounds();
    if (m_bkImage) {
        const Canvas& frame = m_bkImage->Frame(0);
        if (m_backMode == BACK_MODE_NINEGRID)
            MRender::DrawImageFrame(dc, frame, client, 0, 0, frame.Width(), frame.Height(), m_backModeValue);
        else
            dc.DrawScaled(frame, frame.Bounds(), frame.Bounds());
        return;
    }
    MRender::DrawColor(dc, client, ArgbFromColorRef(m_borderColor, 254));
    Rect body = client;
    body.DeflateRect(1, 1);
    MRender::DrawColor(dc, body, ArgbFromColorRef(m_bodyColor, 254));
}

void PaintManager::Compose(Rect update)
{
    const Rect client = GetClientRect();
    if (client.IsRectEmpty())
        return;
    if (!m_backBuffer || m_backBuffer->Width() != client.Width() || m_backBuffer->Height() != client.Height()) {
        m_backBuffer = Canvas::Create(client.Width(), client.Height());
        if (!m_backBuffer)
            return;
        update = client; // a new buffer holds nothing yet
    }
    update = update.Intersect(client);
    if (update.IsRectEmpty())
        return;
    Canvas& dc = *m_backBuffer;
    const Rect clip = m_layered ? client : update;
    dc.Clear(clip);
    cairo_t* cr = dc.Cairo();
    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(cr);
    DrawBackground(dc);
    {
        std::lock_guard tree(ControlTreeLock());
        m_areas.ForEach([&](MControl* c) {
            c->Draw(dc, clip);
            return false;
        });
        m_controls.ForEach([&](MControl* c) {
            c->Draw(dc, clip);
            return false;
        });
    }
    m_caret->Draw(dc, clip);
    if (m_layered)
        dc.FixAlpha(clip);
    m_overlay->Draw(dc);
    cairo_restore(cr);
}

Rect PaintManager::OnPaint()
{
    if (!m_owner)
        return Rect();
    const Rect update = m_owner->BeginPaint();
    if (update.IsRectEmpty() || m_owner->IsIconic() || !m_initialized)
        return Rect();
    const Rect client = GetClientRect();
    Compose(update);
    if (!m_backBuffer)
        return Rect();
    const Rect shown = m_layered ? client : update;
    Present(shown);
    if (m_paintPauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_paintPauseMs));
    return shown;
}

void PaintManager::Present(const Rect& update)
{
    PlatformWindow* window = m_owner ? m_owner->GetPlatformWindow() : nullptr;
    if (!window || !m_backBuffer)
        return;
    window->Present(*m_backBuffer, update, m_layered && window->SupportsPerPixelAlpha());
    ++m_presentCount;
}

} // namespace Lumo
