#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <memory>

// The pictures of a window's drop shadow, apart from any window so they can be checked
// pixel by pixel.
namespace Lumo {

// What shapes a computed shadow.
struct ShadowShape {
    int darkness = 150; // alpha of the shadow's core, 0-255
    int sharpness = 5;  // width in pixels over which the edges fade out, 0-35
    int size = 0;       // how far the shadow reaches beyond the window on every side, -35..35
    int offsetX = 5;    // shift of the shadow against the window, -35..35 each
    int offsetY = 5;
    COLORREF color = 0;
};

// Screen rectangle of a computed shadow for a window at `window`.
Rect ComputedShadowRect(const Rect& window, const ShadowShape& shape);

// The computed shadow of a window of the given size: (cx + 2 size) x (cy + 2 size),
// premultiplied, in the shape's colour. Each edge fades linearly over sharpness + 1
// pixels (what a box blur of that width makes of a rectangle, here in closed form), so
// the outermost pixel is the faintest and the core has the full darkness. Null when the
// picture would be empty.
std::unique_ptr<Canvas> ComputeShadowPicture(Size window, const ShadowShape& shape);

// Screen rectangle of an image shadow: the window grown by the corner margins (left,
// top, right, bottom; negative margins count as 0).
Rect ImageShadowRect(const Rect& window, const Rect& corners);

// The shadow image drawn as a nine-grid with the corner margins over the window's size
// plus the margins. Null when that is empty.
std::unique_ptr<Canvas> NineGridShadowPicture(const Canvas& image, Size window, const Rect& corners);

} // namespace Lumo
