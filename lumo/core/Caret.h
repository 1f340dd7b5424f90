#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <memory>

namespace Lumo {

class MControl;
class PaintManager;

// The text caret of windowless edits, drawn by the window itself and blinking on
// window timer 6553.
class Caret {
public:
    explicit Caret(PaintManager& manager) : m_manager(manager) {}
    // With a bitmap the caret shows a copy of it, sized width x height (the bitmap's own
    // size where those are not positive); without, a solid bar in the edit's text colour.
    void Create(const Canvas* bitmap, int width, int height);
    void SetPos(MControl* edit, int x, int y);
    void Show(int show);
    bool OnTimer(UINT id);
    void Draw(Canvas& dc, const Rect& clip);
    MControl* Owner() const { return m_owner; }
    void Forget(const MControl* control);
    Rect GetRect() const { return m_rect; }
    bool IsOn() const { return m_on; }

private:
    bool Live() const;

    PaintManager& m_manager;
    MControl* m_owner = nullptr;
    std::unique_ptr<Canvas> m_bitmap;
    Rect m_rect;
    int m_width = 1;
    int m_height = 16;
    bool m_on = false;
    bool m_shown = false;
};

} // namespace Lumo
