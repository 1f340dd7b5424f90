#pragma once
#include "lumo/Types.h"

#include <functional>
#include <memory>

namespace Lumo {

class MControl;
class MObject;

// How a control class treats the creator's enabled argument.
enum class EnabledArg { Used, NotTaken, Forced };

using ControlCreator =
    std::function<std::unique_ptr<MControl>(MObject* parent, UINT id, Rect rect, const wchar_t* title, int visible,
                                            int enabled)>;

// One row of the class-name table.
struct ControlClass {
    const wchar_t* name = nullptr;
    ControlCreator create;
    bool inWindow = true; // created by a window's CreateControl / CreateArea
    bool inPanel = true;  // created by a container's CreateControl / CreateArea
    bool takesTitle = false;
    EnabledArg enabled = EnabledArg::Used;
};

// The table of control classes creatable by name. Control classes add their row once,
// usually from a static registration in their own source file.
class ControlFactory {
public:
    enum class Site { Window, Panel };
    // False when the name is empty or already taken.
    static bool Register(ControlClass row);
    // Exact, case-sensitive lookup; null for unknown or empty names.
    static const ControlClass* Find(const wchar_t* name);
    // Builds the control for a site; null for unknown or empty names and for classes the
    // site may not create. Title and enabled are applied as the row says.
    static std::unique_ptr<MControl> Create(Site site, MObject* parent, const wchar_t* className, UINT id, Rect rect,
                                            const wchar_t* title, int visible, int enabled);
};

// Adds a row at load time: `static const ControlRegistration reg{{L"MText", ...}};`
struct ControlRegistration {
    explicit ControlRegistration(ControlClass row) { ControlFactory::Register(std::move(row)); }
};

} // namespace Lumo
