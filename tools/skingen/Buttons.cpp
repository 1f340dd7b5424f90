// Push buttons and the caption buttons: 4-state strips (normal, hover, pressed, disabled).
#include "Theme.h"

#include <cmath>

namespace Skin {
namespace {

const Register kApply("btn_apply.png", [](const std::string& path) {
    // Each frame 60 x 30, drawn as a nine-grid with a 10-pixel border.
    return WriteStrip(path, 60, 30, 4, [](cairo_t* cr, int state) {
        const Rgba fills[4] = {kAccentDeep, kAccent, {0.063, 0.357, 0.443}, kSurfaceHi};
        RoundedRect(cr, 0.5, 0.5, 59, 29, 6);
        VerticalGradient(cr, 0, 30, fills[state], {fills[state].r * 0.8, fills[state].g * 0.8, fills[state].b * 0.8});
        cairo_fill_preserve(cr);
        Set(cr, state == 3 ? kLine : kAccent, state == 1 ? 1.0 : 0.7);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
});

// Caption buttons: 30 x 30 frames with a glyph; the close button turns red under the mouse.
void CaptionButton(const char* name, const std::function<void(cairo_t*)>& glyph, const Rgba& hot)
{
    static std::vector<Register> keep;
    keep.emplace_back(name, [glyph, hot](const std::string& path) {
        return WriteStrip(path, 30, 30, 4, [&](cairo_t* cr, int state) {
            if (state == 1 || state == 2) {
                RoundedRect(cr, 2, 2, 26, 26, 5);
                Set(cr, hot, state == 1 ? 0.85 : 0.6);
                cairo_fill(cr);
            }
            Set(cr, state == 3 ? kTextDim : kText);
            cairo_set_line_width(cr, 1.6);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            glyph(cr);
        });
    });
}

const bool kCaptionButtons = [] {
    CaptionButton("main_sysbtn_close.png", [](cairo_t* cr) {
        cairo_move_to(cr, 10, 10);
        cairo_line_to(cr, 20, 20);
        cairo_move_to(cr, 20, 10);
        cairo_line_to(cr, 10, 20);
        cairo_stroke(cr);
    }, kDanger);
    CaptionButton("main_sysbtn_min.png", [](cairo_t* cr) {
        cairo_move_to(cr, 10, 16);
        cairo_line_to(cr, 20, 16);
        cairo_stroke(cr);
    }, kSurfaceHi);
    CaptionButton("main_sysbtn_website.png", [](cairo_t* cr) {
        cairo_arc(cr, 15, 15, 6, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_move_to(cr, 9, 15);
        cairo_line_to(cr, 21, 15);
        cairo_move_to(cr, 15, 9);
        cairo_curve_to(cr, 11, 12, 11, 18, 15, 21);
        cairo_move_to(cr, 15, 9);
        cairo_curve_to(cr, 19, 12, 19, 18, 15, 21);
        cairo_stroke(cr);
    }, kSurfaceHi);
    return true;
}();

} // namespace
} // namespace Skin
