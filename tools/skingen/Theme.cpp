#include "Theme.h"

#include <cmath>

namespace Skin {

void Set(cairo_t* cr, const Rgba& c, double alphaScale) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a * alphaScale); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void VerticalGradient(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

bool WritePng(const std::string& path, int w, int h, const std::function<void(cairo_t*)>& draw)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    draw(cr);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

bool WriteStrip(const std::string& path, int fw, int fh, int frames, const std::function<void(cairo_t*, int)>& draw)
{
    return WritePng(path, fw * frames, fh, [&](cairo_t* cr) {
        for (int i = 0; i < frames; ++i) {
            cairo_save(cr);
            cairo_rectangle(cr, i * fw, 0, fw, fh);
            cairo_clip(cr);
            cairo_translate(cr, i * fw, 0);
            draw(cr, i);
            cairo_restore(cr);
        }
    });
}

std::vector<Image>& Registry()
{
    static std::vector<Image> images;
    return images;
}

} // namespace Skin
