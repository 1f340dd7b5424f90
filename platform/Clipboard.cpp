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
    if (SDL_SetClipboardText("") != 0) {
        // No clipboard (no video subsystem): there is nothing to empty.
    }
}

} // namespace platform
