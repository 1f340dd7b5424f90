#include "platform/Clipboard.h"

#include "platform/TextCodec.h"

#include <SDL.h>

namespace platform {

bool SdlClipboard::SetText(const std::wstring& text)
{
    return SDL_SetClipboardText(ToUtf8(text).c_str()) == 0;
}

void SdlClipboard::Clear()
{
    // On X11 the application that pastes asks this process for the text only after it has seen
    // Ctrl+V, and SDL answers such requests while it pumps events. Emptying the clipboard at once
    // would hand it an empty text, so the requests are served for a moment first.
    const Uint64 until = SDL_GetTicks64() + kPasteWindowMs;
    while (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetTicks64() < until) {
        SDL_PumpEvents();
        SDL_Delay(kPumpStepMs);
    }
    if (SDL_SetClipboardText("") != 0) {
        // No clipboard (no video subsystem): there is nothing to empty.
    }
}

} // namespace platform
