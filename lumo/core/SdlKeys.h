#pragma once
#include "lumo/Types.h"

#include <SDL.h>

namespace Lumo {

// Virtual-key code of an SDL key (0 when it has none).
UINT VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);
// SDL scancode of a virtual key, for held-key queries (SDL_SCANCODE_UNKNOWN when none).
SDL_Scancode SdlScancodeFromVirtualKey(UINT vk);

} // namespace Lumo
