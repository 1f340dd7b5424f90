#pragma once
#include "lumo/Canvas.h"
#include "lumo/Image.h"
#include "lumo/MControlFont.h"
#include "lumo/Types.h"

#include <memory>
#include <string>

namespace Lumo {

class ResourceModule;

// Drawing routines shared by all controls.
class MRender {
public:
    static std::unique_ptr<Image> LoadImageFromFile(const std::wstring& path);
    // Null when the module has no such resource or it does not decode.
    static std::unique_ptr<Image> LoadImageFromIDResource(UINT id, const std::wstring& type,
                                                          const ResourceModule* module);

    // Nine-grid: corners border x border unscaled, edges stretched along one axis, the
    // centre both ways. The source is the rectangle (srcX, srcY, srcW, srcH) of frame.
    static void DrawImageFrame(Canvas& dc, const Canvas& frame, const Rect& dest, int srcX, int srcY, int srcW,
                               int srcH, int border);
    static void DrawImageFrameMID(Canvas& dc, const Canvas& frame, const Rect& dest, int srcX, int srcY, int srcW,
                                  int srcH, int left, int top, int right, int bottom);
    // Colour-device fill (alpha byte 0, see Canvas).
    static void FillSolidRect(Canvas& dc, const Rect& rect, COLORREF color) { dc.FillSolidRect(rect, color); }
    // Blended fill; nothing when the alpha byte is 0.
    static void DrawColor(Canvas& dc, const Rect& rect, ARGB color);
    static void DrawGradient(Canvas& dc, const Rect& rect, ARGB from, ARGB to, bool vertical);
    static void DrawRoundRectangle(Canvas& dc, const Rect& rect, int radius, ARGB fill, ARGB outline = 0,
                                   int outlineWidth = 0);
    // Copies rect of src over dc with an alpha that runs linearly from `from` to `to`
    // percent, top to bottom (vertical) or left to right.
    static void DrawVerticalTransition(Canvas& dc, const Canvas& src, const Rect& dest, const Rect& srcRect, int from,
                                       int to);
    static void DrawHorizontalTransition(Canvas& dc, const Canvas& src, const Rect& dest, const Rect& srcRect,
                                         int from, int to);
    // Top-left position of a w x h box aligned in rect (alignment values of MControlFont).
    static Point GetOriginPoint(const Rect& rect, int w, int h, UINT hAlign, UINT vAlign);
    // Turns pure black into 0x000001, which a layered window keeps opaque.
    static void CheckAlphaColor(DWORD& color);

    // Blended text (the library's normal text), one line unless wrap.
    static void DrawString(Canvas& dc, const std::wstring& text, const Rect& rect, const FontSpec& font, ARGB color,
                           UINT hAlign, UINT vAlign, bool wrap = false);
    static Size MeasureString(const std::wstring& text, const FontSpec& font, int maxWidth = -1);
    // Colour-device text: writes the colour with an alpha byte of 0, like FillSolidRect.
    static void DrawTextW(Canvas& dc, const Rect& rect, const std::wstring& text, COLORREF color,
                          const FontSpec& font, UINT hAlign, UINT vAlign);
    // Writes a PNG file; false on failure.
    static bool SaveBitmapToFile(const Canvas& canvas, const std::wstring& path);
};

} // namespace Lumo
