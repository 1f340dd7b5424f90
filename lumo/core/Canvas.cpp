#include "lumo/Canvas.h"

#include <cairo.h>

namespace Lumo {
namespace {
constexpr int kMaxSide = 16384;
}

std::unique_ptr<Canvas> Canvas::Create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::unique_ptr<Canvas>(new Canvas(surface));
}

std::unique_ptr<Canvas> Canvas::Adopt(cairo_surface_t* surface)
{
    if (!surface)
        return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_width(surface) <= 0 || cairo_image_surface_get_height(surface) <= 0) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::unique_ptr<Canvas>(new Canvas(surface));
}

Canvas::Canvas(cairo_surface_t* surface)
    : m_surface(surface), m_cr(cairo_create(surface)), m_width(cairo_image_surface_get_width(surface)),
      m_height(cairo_image_surface_get_height(surface)), m_stride(cairo_image_surface_get_stride(surface))
{
}

Canvas::~Canvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

std::uint32_t* Canvas::Row(int y) const
{
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(m_surface) + std::size_t(y) * m_stride);
}

void Canvas::BeginRaw() const { cairo_surface_flush(m_surface); }
void Canvas::EndRaw() { cairo_surface_mark_dirty(m_surface); }

std::uint32_t Canvas::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    BeginRaw();
    return Row(y)[x];
}

void Canvas::SetPixel(int x, int y, std::uint32_t value)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    BeginRaw();
    Row(y)[x] = value;
    EndRaw();
}

void Canvas::FillSolidRect(const Rect& rect, COLORREF color)
{
    const Rect r = rect.Intersect(Bounds());
    if (r.IsRectEmpty())
        return;
    const std::uint32_t value = (std::uint32_t(GetRValue(color)) << 16) | (std::uint32_t(GetGValue(color)) << 8) |
                                std::uint32_t(GetBValue(color));
    BeginRaw();
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = Row(y);
        for (int x = r.left; x < r.right; ++x)
            row[x] = value;
    }
    EndRaw();
}

void Canvas::Clear(const Rect& rect)
{
    const Rect r = rect.Intersect(Bounds());
    if (r.IsRectEmpty())
        return;
    BeginRaw();
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = Row(y);
        for (int x = r.left; x < r.right; ++x)
            row[x] = 0;
    }
    EndRaw();
}

void Canvas::FixAlpha(const Rect& rect)
{
    const Rect r = rect.Intersect(Bounds());
    if (r.IsRectEmpty())
        return;
    BeginRaw();
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = Row(y);
        for (int x = r.left; x < r.right; ++x) {
            if ((row[x] & 0xFF000000u) == 0 && (row[x] & 0x00FFFFFFu) != 0)
                row[x] |= 0xFF000000u;
        }
    }
    EndRaw();
}

void Canvas::CopyFrom(const Canvas& src, const Rect& srcRect, Point dst)
{
    // Clip against the source, then against this canvas, keeping both sides aligned.
    Rect s = srcRect.Intersect(src.Bounds());
    if (s.IsRectEmpty())
        return;
    int dx = dst.x + (s.left - srcRect.left);
    int dy = dst.y + (s.top - srcRect.top);
    Rect d(dx, dy, dx + s.Width(), dy + s.Height());
    const Rect clipped = d.Intersect(Bounds());
    if (clipped.IsRectEmpty())
        return;
    s.left += clipped.left - d.left;
    s.top += clipped.top - d.top;
    src.BeginRaw();
    BeginRaw();
    if (&src == this) {
        // Overlapping copy inside one canvas goes through a temporary row.
        cairo_t* cr = m_cr;
        cairo_save(cr);
        cairo_surface_t* copy = cairo_surface_create_similar_image(m_surface, CAIRO_FORMAT_ARGB32, clipped.Width(),
                                                                   clipped.Height());
        cairo_t* tmp = cairo_create(copy);
        cairo_set_operator(tmp, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(tmp, m_surface, -s.left, -s.top);
        cairo_paint(tmp);
        cairo_destroy(tmp);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, copy, clipped.left, clipped.top);
        cairo_rectangle(cr, clipped.left, clipped.top, clipped.Width(), clipped.Height());
        cairo_fill(cr);
        cairo_surface_destroy(copy);
        cairo_restore(cr);
        return;
    }
    for (int y = 0; y < clipped.Height(); ++y) {
        const std::uint32_t* from = src.Row(s.top + y) + s.left;
        std::uint32_t* to = Row(clipped.top + y) + clipped.left;
        std::copy(from, from + clipped.Width(), to);
    }
    EndRaw();
}

void Canvas::DrawScaled(const Canvas& src, const Rect& srcRect, const Rect& dstRect, double opacity)
{
    if (srcRect.IsRectEmpty() || dstRect.IsRectEmpty())
        return;
    src.BeginRaw();
    cairo_t* cr = m_cr;
    cairo_save(cr);
    cairo_rectangle(cr, dstRect.left, dstRect.top, dstRect.Width(), dstRect.Height());
    cairo_clip(cr);
    cairo_translate(cr, dstRect.left, dstRect.top);
    cairo_scale(cr, double(dstRect.Width()) / srcRect.Width(), double(dstRect.Height()) / srcRect.Height());
    // A sub-surface keeps the filter from pulling in pixels from outside srcRect.
    cairo_surface_t* part = cairo_surface_create_for_rectangle(src.m_surface, srcRect.left, srcRect.top,
                                                               srcRect.Width(), srcRect.Height());
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint_with_alpha(cr, opacity);
    cairo_restore(cr);
    cairo_surface_destroy(part);
}

} // namespace Lumo
