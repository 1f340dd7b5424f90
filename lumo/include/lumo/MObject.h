#pragma once
#include "lumo/Types.h"

namespace Lumo {

class MControl;

// Everything that can own controls: a window or a container control. Controls report to
// their owner through OnBaseMessage (notifications) and OnControlUpdate (redraw requests).
class MObject {
public:
    virtual ~MObject() = default;
    // 1 when GetClassNameW() equals name exactly.
    virtual int IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const { return nullptr; }
    virtual const wchar_t* GetObjectClass() { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() { return nullptr; }
    virtual int OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam);
    virtual int OnControlUpdate(Rect rect, int erase, MControl* control);
};

} // namespace Lumo
