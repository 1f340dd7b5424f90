// xshot OUT.png [X Y W H]: the root window of $DISPLAY (or that part of it) as a PNG file.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: %s OUT.png [X Y W H]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xshot: no display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attrs{};
    XGetWindowAttributes(display, root, &attrs);
    int x = 0, y = 0, w = attrs.width, h = attrs.height;
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    XImage* image = XGetImage(display, root, x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    if (!image) {
        XCloseDisplay(display);
        return 1;
    }
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    unsigned char* data = cairo_image_surface_get_data(out);
    const int stride = cairo_image_surface_get_stride(out);
    for (int row = 0; row < h; ++row) {
        auto* line = reinterpret_cast<unsigned*>(data + row * stride);
        for (int col = 0; col < w; ++col) {
            const unsigned long p = XGetPixel(image, col, row);
            line[col] = unsigned(((p & image->red_mask) >> 16 & 0xFF) << 16 | ((p & image->green_mask) >> 8 & 0xFF) << 8 |
                                 (p & image->blue_mask & 0xFF));
        }
    }
    cairo_surface_mark_dirty(out);
    const bool ok = cairo_surface_write_to_png(out, argv[1]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(out);
    XDestroyImage(image);
    XCloseDisplay(display);
    return ok ? 0 : 1;
}
