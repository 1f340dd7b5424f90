#include "lumo/ShadowPicture.h"

#include "lumo/MRender.h"

#include <cairo.h>

#include <algorithm>
#include <vector>

namespace Lumo {
namespace {

Rect Margins(const Rect& corners)
{
    return Rect(std::max(0, corners.left), std::max(0, corners.top), std::max(0, corners.right),
                std::max(0, corners.bottom));
}

// Weight (out of steps) of each position along one side of the picture.
std::vector<int> Ramp(int length, int steps)
{
    std::vector<int> ramp(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        ramp[std::size_t(i)] = std::min(steps, std::min(i, length - 1 - i) + 1);
    return ramp;
}

} // namespace

Rect ComputedShadowRect(const Rect& window, const ShadowShape& shape)
{
    Rect r = window;
    r.InflateRect(shape.size, shape.size);
    r.OffsetRect(shape.offsetX, shape.offsetY);
    return r;
}

std::unique_ptr<Canvas> ComputeShadowPicture(Size window, const ShadowShape& shape)
{
    const int w = window.cx + 2 * shape.size;
    const int h = window.cy + 2 * shape.size;
    auto picture = Canvas::Create(w, h);
    if (!picture)
        return nullptr;
    const int steps = std::max(0, shape.sharpness) + 1;
    const std::vector<int> rx = Ramp(w, steps), ry = Ramp(h, steps);
    const std::int64_t darkness = std::clamp(shape.darkness, 0, 255);
    const std::int64_t whole = std::int64_t(steps) * steps;
    const int r = GetRValue(shape.color), g = GetGValue(shape.color), b = GetBValue(shape.color);
    picture->BeginRaw();
    unsigned char* data = cairo_image_surface_get_data(picture->Surface());
    const int stride = cairo_image_surface_get_stride(picture->Surface());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * std::size_t(stride));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a =
                std::uint32_t((darkness * rx[std::size_t(x)] * ry[std::size_t(y)] + whole / 2) / whole);
            // Premultiplied: each colour channel scaled by the alpha.
            const auto pm = [a](int c) { return (std::uint32_t(c) * a + 127) / 255; };
            row[x] = (a << 24) | (pm(r) << 16) | (pm(g) << 8) | pm(b);
        }
    }
    picture->EndRaw();
    return picture;
}

Rect ImageShadowRect(const Rect& window, const Rect& corners)
{
    const Rect m = Margins(corners);
    return Rect(window.left - m.left, window.top - m.top, window.right + m.right, window.bottom + m.bottom);
}

std::unique_ptr<Canvas> NineGridShadowPicture(const Canvas& image, Size window, const Rect& corners)
{
    const Rect m = Margins(corners);
    auto picture = Canvas::Create(window.cx + m.left + m.right, window.cy + m.top + m.bottom);
    if (!picture)
        return nullptr;
    MRender::DrawImageFrameMID(*picture, image, picture->Bounds(), 0, 0, image.Width(), image.Height(), m.left,
                               m.top, m.right, m.bottom);
    return picture;
}

} // namespace Lumo
