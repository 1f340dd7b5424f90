#pragma once
#include "lumo/MControlFont.h"

// Just enough controls for the demo: a picture, a label and a strip button.
namespace Demo {
using namespace Lumo;

class Picture : public MControlFont {
public:
    Picture(MObject* parent, UINT id, Rect rect) : MControlFont(parent, id, rect, L"") { m_response = 0; }
    void DrawControl(Canvas& dc, Rect clip) override;
};

class Label : public MControlFont {
public:
    Label(MObject* parent, UINT id, Rect rect, const wchar_t* title) : MControlFont(parent, id, rect, title)
    {
        m_response = 0;
    }
    void DrawControl(Canvas& dc, Rect clip) override;
};

// Shows frame 0..3 of its strip for normal, hover, pressed and disabled; a click inside
// after a press inside sends MN_CLICK.
class StripButton : public MControlFont {
public:
    StripButton(MObject* parent, UINT id, Rect rect, const wchar_t* title) : MControlFont(parent, id, rect, title)
    {
        SetCursorEx(L"hand");
    }
    void DrawControl(Canvas& dc, Rect clip) override;
    int OnControlMouseMove(UINT flags, Point pt) override;
    int OnControlLButtonDown(UINT flags, Point pt) override;
    int OnControlLButtonUp(UINT flags, Point pt) override;

private:
    void SetState(int state);
    int m_state = 0;
};

} // namespace Demo
