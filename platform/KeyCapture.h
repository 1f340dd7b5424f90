#pragma once
#include <cstdint>

// Key events of our own window in the form a low-level keyboard hook reports them: the keyboard
// message, the Windows virtual-key code, the PC (set 1) scan code and the hook flags. Macro events
// store virtual-key codes, so recording works in these terms whatever the source of the key.
namespace platform {

inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kHookFlagExtended = 0x01;
inline constexpr uint32_t kHookFlagAltDown = 0x20;
inline constexpr uint32_t kHookFlagUp = 0x80;

struct KeyHookEvent {
    uint32_t message = 0;
    uint32_t vkCode = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;
};

// An SDL scancode of a key of our window. numLock: the Num Lock state (keypad keys then give their
// digit codes, otherwise their cursor codes); altDown: an Alt key is held. False for keys without a
// virtual-key code.
bool TranslateSdlKey(int sdlScancode, bool pressed, bool numLock, bool altDown, KeyHookEvent& out);
// The same for a Linux input-layer key code.
bool TranslateEvdevKey(int evdevCode, bool pressed, bool numLock, bool altDown, KeyHookEvent& out);

} // namespace platform
