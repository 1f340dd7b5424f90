#include "lumo/MRender.h"

#include "TextEngine.h"
#include "Utf8.h"
#include "lumo/ResourceModule.h"

#include <cairo.h>

#include <algorithm>
#include <numbers>

namespace Lumo {
namespace {

void SetColor(cairo_t* cr, ARGB c)
{
    cairo_set_source_rgba(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, AlphaOf(c) / 255.0);
}

} // namespace

std::unique_ptr<Image> MRender::LoadImageFromFile(const std::wstring& path) { return Image::LoadFromFile(path); }

std::unique_ptr<Image> MRender::LoadImageFromIDResource(UINT id, const std::wstring& type,
                                                        const ResourceModule* module)
{
    if (!module)
        return nullptr;
    const auto* bytes = module->Find(id, type);
    return bytes ? Image::LoadFromMemory(bytes->data(), bytes->size()) : nullptr;
}

void MRender::DrawImageFrame(Canvas& dc, const Canvas& frame, const Rect& dest, int srcX, int srcY, int srcW,
                             int srcH, int border)
{
    DrawImageFrameMID(dc, frame, dest, srcX, srcY, srcW, srcH, border, border, border, border);
}

void MRender::DrawImageFrameMID(Canvas& dc, const Canvas& frame, const Rect& dest, int srcX, int srcY, int srcW,
                                int srcH, int left, int top, int right, int bottom)
{
    if (dest.IsRectEmpty() || srcW <= 0 || srcH <= 0)
        return;
    // Margins never exceed the source or the destination.
    left = std::clamp(left, 0, srcW / 2);
    right = std::clamp(right, 0, srcW - left);
    top = std::clamp(top, 0, srcH / 2);
    bottom = std::clamp(bottom, 0, srcH - top);
    const int dl = std::min(left, dest.Width() / 2), dr = std::min(right, dest.Width() - dl);
    const int dt = std::min(top, dest.Height() / 2), db = std::min(bottom, dest.Height() - dt);

    const int sx[4] = {srcX, srcX + left, srcX + srcW - right, srcX + srcW};
    const int sy[4] = {srcY, srcY + top, srcY + srcH - bottom, srcY + srcH};
    const int dx[4] = {dest.left, dest.left + dl, dest.right - dr, dest.right};
    const int dy[4] = {dest.top, dest.top + dt, dest.bottom - db, dest.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const Rect s(sx[col], sy[row], sx[col + 1], sy[row + 1]);
            const Rect d(dx[col], dy[row], dx[col + 1], dy[row + 1]);
            if (!s.IsRectEmpty() && !d.IsRectEmpty())
                dc.DrawScaled(frame, s, d);
        }
    }
}

void MRender::DrawColor(Canvas& dc, const Rect& rect, ARGB color)
{
    if (AlphaOf(color) == 0 || rect.IsRectEmpty())
        return;
    cairo_t* cr = dc.Cairo();
    cairo_save(cr);
    SetColor(cr, color);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void MRender::DrawGradient(Canvas& dc, const Rect& rect, ARGB from, ARGB to, bool vertical)
{
    if (rect.IsRectEmpty())
        return;
    cairo_t* cr = dc.Cairo();
    cairo_save(cr);
    cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                  : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, RedOf(from) / 255.0, GreenOf(from) / 255.0, BlueOf(from) / 255.0,
                                      AlphaOf(from) / 255.0);
    cairo_pattern_add_color_stop_rgba(p, 1, RedOf(to) / 255.0, GreenOf(to) / 255.0, BlueOf(to) / 255.0,
                                      AlphaOf(to) / 255.0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void MRender::DrawRoundRectangle(Canvas& dc, const Rect& rect, int radius, ARGB fill, ARGB outline, int outlineWidth)
{
    if (rect.IsRectEmpty())
        return;
    cairo_t* cr = dc.Cairo();
    const double r = std::clamp(radius, 0, std::min(rect.Width(), rect.Height()) / 2);
    const double x = rect.left, y = rect.top, w = rect.Width(), h = rect.Height();
    cairo_save(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -std::numbers::pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, std::numbers::pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, std::numbers::pi / 2, std::numbers::pi);
    cairo_arc(cr, x + r, y + r, r, std::numbers::pi, 3 * std::numbers::pi / 2);
    cairo_close_path(cr);
    SetColor(cr, fill);
    if (outlineWidth > 0 && AlphaOf(outline)) {
        cairo_fill_preserve(cr);
        SetColor(cr, outline);
        cairo_set_line_width(cr, outlineWidth);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

namespace {

void Transition(Canvas& dc, const Canvas& src, const Rect& dest, const Rect& srcRect, int from, int to, bool vertical)
{
    if (dest.IsRectEmpty() || srcRect.IsRectEmpty())
        return;
    src.BeginRaw();
    cairo_t* cr = dc.Cairo();
    cairo_save(cr);
    cairo_surface_t* part = cairo_surface_create_for_rectangle(src.Surface(), srcRect.left, srcRect.top,
                                                               srcRect.Width(), srcRect.Height());
    cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(cr);
    cairo_translate(cr, dest.left, dest.top);
    cairo_scale(cr, double(dest.Width()) / srcRect.Width(), double(dest.Height()) / srcRect.Height());
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_pattern_t* mask = vertical ? cairo_pattern_create_linear(0, 0, 0, srcRect.Height())
                                     : cairo_pattern_create_linear(0, 0, srcRect.Width(), 0);
    cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, std::clamp(from, 0, 100) / 100.0);
    cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, std::clamp(to, 0, 100) / 100.0);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
    cairo_surface_destroy(part);
    cairo_restore(cr);
}

} // namespace

void MRender::DrawVerticalTransition(Canvas& dc, const Canvas& src, const Rect& dest, const Rect& srcRect, int from,
                                     int to)
{
    Transition(dc, src, dest, srcRect, from, to, true);
}

void MRender::DrawHorizontalTransition(Canvas& dc, const Canvas& src, const Rect& dest, const Rect& srcRect, int from,
                                       int to)
{
    Transition(dc, src, dest, srcRect, from, to, false);
}

Point MRender::GetOriginPoint(const Rect& rect, int w, int h, UINT hAlign, UINT vAlign)
{
    int x = rect.left;
    if (hAlign == DT_CENTER)
        x = rect.left + (rect.Width() - w) / 2;
    else if (hAlign == DT_RIGHT)
        x = rect.right - w;
    int y = rect.top;
    if (vAlign == DT_VCENTER)
        y = rect.top + (rect.Height() - h) / 2;
    else if (vAlign == DT_BOTTOM)
        y = rect.bottom - h;
    return Point(x, y);
}

void MRender::CheckAlphaColor(DWORD& color)
{
    if ((color & 0x00FFFFFFu) == 0)
        color = (color & 0xFF000000u) | 0x000001u;
}

void MRender::DrawString(Canvas& dc, const std::wstring& text, const Rect& rect, const FontSpec& font, ARGB color,
                         UINT hAlign, UINT vAlign, bool wrap)
{
    TextEngine::Draw(dc.Cairo(), text, rect, font, color, TextEngine::Layout{hAlign, vAlign, wrap});
}

Size MRender::MeasureString(const std::wstring& text, const FontSpec& font, int maxWidth)
{
    return TextEngine::Measure(text, font, maxWidth);
}

void MRender::DrawTextW(Canvas& dc, const Rect& rect, const std::wstring& text, COLORREF color, const FontSpec& font,
                        UINT hAlign, UINT vAlign)
{
    const Rect r = rect.Intersect(dc.Bounds());
    if (r.IsRectEmpty() || text.empty())
        return;
    // Rasterise the glyph coverage, then mix the colour into the pixels the way a
    // colour-only device does: the colour blends, the alpha byte becomes 0.
    auto mask = Canvas::Create(rect.Width(), rect.Height());
    if (!mask)
        return;
    TextEngine::Draw(mask->Cairo(), text, Rect(0, 0, rect.Width(), rect.Height()), font, 0xFFFFFFFF,
                     TextEngine::Layout{hAlign, vAlign, false});
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const int a = int(mask->GetPixel(x - rect.left, y - rect.top) >> 24);
            if (a == 0)
                continue;
            const std::uint32_t d = dc.GetPixel(x, y);
            auto mix = [&](int shift, int c) { return ((int((d >> shift) & 0xFF) * (255 - a) + c * a) / 255) << shift; };
            dc.SetPixel(x, y, std::uint32_t(mix(16, cr) | mix(8, cg) | mix(0, cb)));
        }
    }
}

bool MRender::SaveBitmapToFile(const Canvas& canvas, const std::wstring& path)
{
    canvas.BeginRaw();
    return cairo_surface_write_to_png(canvas.Surface(), Utf8::Narrow(path).c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace Lumo
