#pragma once

typedef struct SDL_Window SDL_Window;

// What the X desktop offers beyond SDL2: a visual with an alpha channel (only worth
// asking for while a compositing manager runs) and windows the pointer passes through.
namespace Lumo::X11Desktop {

// The id of a 32-bit TrueColor visual when $DISPLAY has a compositing manager, else 0.
unsigned long FindTranslucentVisual();
// Gives the window an empty input shape; false when the desktop is not X11 or lacks XShape.
bool SetClickThrough(SDL_Window* window);

} // namespace Lumo::X11Desktop
