#pragma once
#include "lumo/Types.h"

#include <functional>

namespace Lumo {

class MWindow;

// Handle ↔ window object association of the process. Handles count up and are never
// given out twice.
namespace WindowRegistry {
HWND Allocate(MWindow* window);
void Release(HWND hwnd);
MWindow* Find(HWND hwnd);
// Calls fn for every live window until it returns true.
void ForEach(const std::function<bool(HWND, MWindow*)>& fn);
} // namespace WindowRegistry

} // namespace Lumo
