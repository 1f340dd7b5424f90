// Window backgrounds: the main window, its caption strip and the prompt dialogs.
#include "Theme.h"

#include <cmath>

namespace Skin {
namespace {

void Grain(cairo_t* cr, int w, int h)
{
    // A faint diagonal sheen keeps large surfaces from looking flat.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.035);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1, kAccent.r, kAccent.g, kAccent.b, 0.04);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

const Register kMain("main_bkg.png", [](const std::string& path) {
    constexpr int w = 1280, h = 720;
    return WritePng(path, w, h, [](cairo_t* cr) {
        VerticalGradient(cr, 0, h, kSurface, kBase);
        cairo_paint(cr);
        Grain(cr, w, h);
        // Soft accent glow behind the keyboard area.
        cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, h * 0.62, 10, w / 2.0, h * 0.62, w * 0.45);
        cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.r, kAccent.g, kAccent.b, 0.10);
        cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r, kAccent.g, kAccent.b, 0.0);
        cairo_set_source(cr, glow);
        cairo_paint(cr);
        cairo_pattern_destroy(glow);
    });
});

const Register kCaption("pic_caption.png", [](const std::string& path) {
    constexpr int w = 1280, h = 60;
    return WritePng(path, w, h, [](cairo_t* cr) {
        VerticalGradient(cr, 0, h, kSurfaceHi, kSurface);
        cairo_paint(cr);
        // Accent hairline along the bottom edge, fading out at both ends.
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, kAccent.r, kAccent.g, kAccent.b, 0);
        cairo_pattern_add_color_stop_rgba(p, 0.5, kAccent.r, kAccent.g, kAccent.b, 0.9);
        cairo_pattern_add_color_stop_rgba(p, 1, kAccent.r, kAccent.g, kAccent.b, 0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, 0, h - 2, w, 2);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    });
});

// Drawn as a nine-grid with a 30-pixel border: the frame lives in the outer 30 pixels.
const Register kPrompt("bk_prompt.png", [](const std::string& path) {
    constexpr int s = 100;
    return WritePng(path, s, s, [](cairo_t* cr) {
        RoundedRect(cr, 0.5, 0.5, s - 1, s - 1, 10);
        VerticalGradient(cr, 0, s, kSurfaceHi, kSurface);
        cairo_fill_preserve(cr);
        Set(cr, kLine);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        Set(cr, kAccent);
        cairo_rectangle(cr, 10, 0.5, s - 20, 2);
        cairo_fill(cr);
    });
});

} // namespace
} // namespace Skin
