// Scroll-bar thumbs and the loading animation.
#include "Theme.h"

#include <gif_lib.h>

#include <cmath>

namespace Skin {
namespace {

bool ScrollStrip(const std::string& path, bool vertical)
{
    const int fw = vertical ? 7 : 40, fh = vertical ? 40 : 7;
    return WriteStrip(path, fw, fh, 4, [&](cairo_t* cr, int state) {
        const Rgba colors[4] = {kLine, {0.30, 0.36, 0.44}, kAccent, {0.14, 0.16, 0.2}};
        RoundedRect(cr, 1, 1, fw - 2, fh - 2, 2.5);
        Set(cr, colors[state]);
        cairo_fill(cr);
    });
}

const Register kScrollV("img_scroll_v.png", [](const std::string& p) { return ScrollStrip(p, true); });
const Register kScrollH("img_scroll_h.png", [](const std::string& p) { return ScrollStrip(p, false); });

// A ring of twelve dots whose brightness runs round: 12 frames of 100 x 100, 50 ms each.
const Register kLoading("loading.gif", [](const std::string& path) {
    constexpr int kSize = 100, kFrames = 12, kShades = 16;
    // Palette: the dialog's grey background, then shades from background to accent.
    GifColorType colors[256] = {};
    const Rgba bg{0.2, 0.2, 0.2};
    for (int i = 0; i < kShades; ++i) {
        const double t = double(i) / (kShades - 1);
        colors[i].Red = GifByteType(std::lround(255 * (bg.r + (kAccent.r - bg.r) * t)));
        colors[i].Green = GifByteType(std::lround(255 * (bg.g + (kAccent.g - bg.g) * t)));
        colors[i].Blue = GifByteType(std::lround(255 * (bg.b + (kAccent.b - bg.b) * t)));
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(kShades, colors);
    bool ok = map && EGifPutScreenDesc(gif, kSize, kSize, 8, 0, map) == GIF_OK;
    // Loop for ever.
    const GifByteType loop[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loopData[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof loopData, loopData) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifPixelType> pixels(kSize * kSize);
    for (int f = 0; ok && f < kFrames; ++f) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, kSize, kSize);
        cairo_t* cr = cairo_create(s);
        for (int d = 0; d < 12; ++d) {
            const double angle = d * M_PI / 6 - M_PI / 2;
            const double age = double((f - d + 12) % 12) / 12.0; // 0: the leading dot
            cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - age * 0.85);
            cairo_arc(cr, 50 + 30 * std::cos(angle), 50 + 30 * std::sin(angle), 6 - age * 2.5, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                pixels[std::size_t(y) * kSize + x] = GifPixelType(data[y * stride + x] * (kShades - 1) / 255);
        cairo_surface_destroy(s);
        GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 5, NO_TRANSPARENT_COLOR};
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, kSize, kSize, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < kSize; ++y)
            ok = EGifPutLine(gif, &pixels[std::size_t(y) * kSize], kSize) == GIF_OK;
    }
    if (map)
        GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
});

} // namespace
} // namespace Skin
