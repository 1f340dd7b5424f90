#include "X11Desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <cstdlib>
#include <string>

namespace Lumo::X11Desktop {

unsigned long FindTranslucentVisual()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return 0;
    Display* display = XOpenDisplay(name);
    if (!display)
        return 0;
    unsigned long id = 0;
    const int screen = DefaultScreen(display);
    // A compositing manager owns this selection; without one an alpha visual shows garbage.
    const std::string selection = "_NET_WM_CM_S" + std::to_string(screen);
    const Atom atom = XInternAtom(display, selection.c_str(), False);
    XVisualInfo info{};
    if (atom != None && XGetSelectionOwner(display, atom) != None &&
        XMatchVisualInfo(display, screen, 32, TrueColor, &info))
        id = info.visualid;
    XCloseDisplay(display);
    return id;
}

bool SetClickThrough(SDL_Window* window)
{
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!window || !SDL_GetWindowWMInfo(window, &wm) || wm.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = wm.info.x11.display;
    int eventBase = 0, errorBase = 0;
    if (!XShapeQueryExtension(display, &eventBase, &errorBase))
        return false;
    XShapeCombineRectangles(display, wm.info.x11.window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    XFlush(display);
    return true;
}

} // namespace Lumo::X11Desktop
