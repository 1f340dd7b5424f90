#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <memory>

namespace Lumo {

class MWindow;
class PlatformWindow;

// A control being dragged: its picture follows the pointer in a window of its own while
// the pointer is kept inside the source window; the drop is the source window's.
class DragSession {
public:
    // Moves shorter than this (in either direction) after the press are not yet a drag.
    static constexpr int kThreshold = 4;
    static bool IsDragMove(Point from, Point to);

    DragSession(MWindow& source, const Canvas& picture, Point screen);
    ~DragSession();
    DragSession(const DragSession&) = delete;
    DragSession& operator=(const DragSession&) = delete;

    void Move(Point screen);
    // Ends the drag and hands back the dragged picture.
    std::unique_ptr<Canvas> Finish();
    const Canvas& Picture() const { return *m_picture; }
    Rect GetScreenRect() const { return m_screen; }

private:
    void Present();
    void Release();

    MWindow& m_source;
    std::unique_ptr<Canvas> m_picture;
    std::unique_ptr<Canvas> m_ghost; // the picture as shown: faded where the desktop allows
    std::unique_ptr<PlatformWindow> m_window;
    bool m_translucent = false;
    Rect m_screen;
    bool m_active = true;
};

} // namespace Lumo
