#pragma once
#include "lumo/Types.h"

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace Lumo {

// A 32-bit drawing surface (premultiplied ARGB in native byte order) with its drawing
// context: the back buffer of a window, the cached face of a control, a decoded image frame.
// Two kinds of drawing meet here: blended drawing through Cairo(), and device-style raw
// writes (FillSolidRect, CopyFrom) that store colours with an alpha byte of 0, as a
// colour-only device context does. A layered window's paint makes those opaque afterwards
// (see FixAlpha), while anything left pure black stays transparent.
class Canvas {
public:
    // A cleared (fully transparent) surface; null when the size is not positive or too big.
    static std::unique_ptr<Canvas> Create(int width, int height);
    // Takes over a Cairo image surface in ARGB32 format.
    static std::unique_ptr<Canvas> Adopt(cairo_surface_t* surface);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rect Bounds() const { return Rect(0, 0, m_width, m_height); }
    cairo_t* Cairo() { return m_cr; }
    cairo_surface_t* Surface() const { return m_surface; }

    // Raw pixel access (0 outside the canvas); raw writes bypass blending.
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t value);
    // Colour-device fill: 0x00RRGGBB into every pixel of rect.
    void FillSolidRect(const Rect& rect, COLORREF color);
    // Straight copy of src's srcRect to dst (clipped on both sides), like a bit-block transfer.
    void CopyFrom(const Canvas& src, const Rect& srcRect, Point dst);
    // Blended draw of src's srcRect scaled into dstRect.
    void DrawScaled(const Canvas& src, const Rect& srcRect, const Rect& dstRect, double opacity = 1.0);
    // Sets every pixel of rect to 0.
    void Clear(const Rect& rect);
    // Gives alpha 255 to every pixel in rect whose alpha is 0 but whose colour is not black.
    void FixAlpha(const Rect& rect);

    // Synchronises Cairo's view with raw writes; called by the raw operations themselves.
    void BeginRaw() const;
    void EndRaw();

private:
    Canvas(cairo_surface_t* surface);
    std::uint32_t* Row(int y) const;

    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};

} // namespace Lumo
