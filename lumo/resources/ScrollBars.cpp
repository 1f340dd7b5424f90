#include "resources/EmbeddedResources.h"

#include <cairo.h>

namespace Lumo::Embedded {
namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::vector<unsigned char> ScrollBarPng(bool vertical)
{
    // Thumb strips: normal, hover, pressed, disabled; rounded bars of the theme's greys.
    constexpr int kThick = 7;
    constexpr int kLong = 40;
    constexpr double kShades[4][4] = {
        {0.42, 0.45, 0.50, 0.85}, {0.58, 0.62, 0.68, 0.95}, {0.16, 0.72, 0.86, 1.0}, {0.30, 0.30, 0.32, 0.5}};
    const int fw = vertical ? kThick : kLong;
    const int fh = vertical ? kLong : kThick;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fw * 4, fh);
    cairo_t* cr = cairo_create(s);
    for (int i = 0; i < 4; ++i) {
        const double x = i * fw + 1, y = 1, w = fw - 2, h = fh - 2, r = (vertical ? w : h) / 2;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - r, y + r, r, -1.5708, 0);
        cairo_arc(cr, x + w - r, y + h - r, r, 0, 1.5708);
        cairo_arc(cr, x + r, y + h - r, r, 1.5708, 3.14159);
        cairo_arc(cr, x + r, y + r, r, 3.14159, 4.71239);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, kShades[i][0], kShades[i][1], kShades[i][2], kShades[i][3]);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    std::vector<unsigned char> png;
    cairo_surface_write_to_png_stream(s, Append, &png);
    cairo_surface_destroy(s);
    return png;
}

} // namespace Lumo::Embedded
