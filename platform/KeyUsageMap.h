#pragma once
#include <cstdint>

// Translation between HID Keyboard/Keypad usages (the key codes the program stores) and the
// Linux input layer's key codes, plus the HID Consumer usages the virtual device can send.
namespace platform {

// Linux KEY_* code of a keyboard usage (4 to 231); 0 when the usage has no key.
int KeyboardUsageToEvdev(int usage);
// Keyboard usage of a Linux KEY_* code; 0 when the code is not a keyboard-page key.
int EvdevToKeyboardUsage(int code);
// Linux KEY_* code of a HID Consumer page usage; 0 when it has none.
int ConsumerUsageToEvdev(int usage);
// The mouse button codes (BTN_LEFT ...) for bits 0 to 4 of a mouse report's button byte; 0 otherwise.
int MouseBitToEvdev(int bit);

} // namespace platform
