#include "platform/KeyCapture.h"

#include "platform/KeyUsageMap.h"

#include <SDL_scancode.h>
#include <linux/input-event-codes.h>

namespace platform {
namespace {

struct VirtualKey {
    uint16_t key = 0;         // SDL scancode; below 256 the keyboard usage itself
    uint8_t vk = 0;
    uint8_t scan = 0;
    bool extended = false;
    uint8_t vkNumLockOff = 0; // keypad keys: the code with Num Lock off
};

// Virtual-key code, scan code and extended flag of each key, as Windows reports a US keyboard.
constexpr VirtualKey kKeys[] = {
    {4, 'A', 0x1E}, {5, 'B', 0x30}, {6, 'C', 0x2E}, {7, 'D', 0x20}, {8, 'E', 0x12}, {9, 'F', 0x21},
    {10, 'G', 0x22}, {11, 'H', 0x23}, {12, 'I', 0x17}, {13, 'J', 0x24}, {14, 'K', 0x25}, {15, 'L', 0x26},
    {16, 'M', 0x32}, {17, 'N', 0x31}, {18, 'O', 0x18}, {19, 'P', 0x19}, {20, 'Q', 0x10}, {21, 'R', 0x13},
    {22, 'S', 0x1F}, {23, 'T', 0x14}, {24, 'U', 0x16}, {25, 'V', 0x2F}, {26, 'W', 0x11}, {27, 'X', 0x2D},
    {28, 'Y', 0x15}, {29, 'Z', 0x2C},
    {30, '1', 0x02}, {31, '2', 0x03}, {32, '3', 0x04}, {33, '4', 0x05}, {34, '5', 0x06}, {35, '6', 0x07},
    {36, '7', 0x08}, {37, '8', 0x09}, {38, '9', 0x0A}, {39, '0', 0x0B},
    {40, 13, 0x1C}, {41, 27, 0x01}, {42, 8, 0x0E}, {43, 9, 0x0F}, {44, 32, 0x39},
    {45, 189, 0x0C}, {46, 187, 0x0D}, {47, 219, 0x1A}, {48, 221, 0x1B}, {49, 220, 0x2B}, {50, 220, 0x2B},
    {51, 186, 0x27}, {52, 222, 0x28}, {53, 192, 0x29}, {54, 188, 0x33}, {55, 190, 0x34}, {56, 191, 0x35},
    {57, 20, 0x3A},
    {58, 112, 0x3B}, {59, 113, 0x3C}, {60, 114, 0x3D}, {61, 115, 0x3E}, {62, 116, 0x3F}, {63, 117, 0x40},
    {64, 118, 0x41}, {65, 119, 0x42}, {66, 120, 0x43}, {67, 121, 0x44}, {68, 122, 0x57}, {69, 123, 0x58},
    {70, 44, 0x37, true}, {71, 145, 0x46}, {72, 19, 0x45},
    {73, 45, 0x52, true}, {74, 36, 0x47, true}, {75, 33, 0x49, true}, {76, 46, 0x53, true},
    {77, 35, 0x4F, true}, {78, 34, 0x51, true}, {79, 39, 0x4D, true}, {80, 37, 0x4B, true},
    {81, 40, 0x50, true}, {82, 38, 0x48, true},
    {83, 144, 0x45, true}, {84, 111, 0x35, true}, {85, 106, 0x37}, {86, 109, 0x4A}, {87, 107, 0x4E},
    {88, 13, 0x1C, true},
    {89, 97, 0x4F, false, 35}, {90, 98, 0x50, false, 40}, {91, 99, 0x51, false, 34},
    {92, 100, 0x4B, false, 37}, {93, 101, 0x4C, false, 12}, {94, 102, 0x4D, false, 39},
    {95, 103, 0x47, false, 36}, {96, 104, 0x48, false, 38}, {97, 105, 0x49, false, 33},
    {98, 96, 0x52, false, 45}, {99, 110, 0x53, false, 46},
    {100, 226, 0x56}, {101, 93, 0x5D, true},
    {104, 124, 0x64}, {105, 125, 0x65}, {106, 126, 0x66}, {107, 127, 0x67}, {108, 128, 0x68},
    {109, 129, 0x69}, {110, 130, 0x6A}, {111, 131, 0x6B}, {112, 132, 0x6C}, {113, 133, 0x6D},
    {114, 134, 0x6E}, {115, 135, 0x76},
    {127, 173, 0x20, true}, {128, 175, 0x30, true}, {129, 174, 0x2E, true},
    {224, 162, 0x1D}, {225, 160, 0x2A}, {226, 164, 0x38}, {227, 91, 0x5B, true},
    {228, 163, 0x1D, true}, {229, 161, 0x36}, {230, 165, 0x38, true}, {231, 92, 0x5C, true},
    {SDL_SCANCODE_AUDIONEXT, 176, 0x19, true}, {SDL_SCANCODE_AUDIOPREV, 177, 0x10, true},
    {SDL_SCANCODE_AUDIOSTOP, 178, 0x24, true}, {SDL_SCANCODE_AUDIOPLAY, 179, 0x22, true},
    {SDL_SCANCODE_AUDIOMUTE, 173, 0x20, true}, {SDL_SCANCODE_MEDIASELECT, 181, 0x6D, true},
    {SDL_SCANCODE_MAIL, 180, 0x6C, true}, {SDL_SCANCODE_CALCULATOR, 183, 0x21, true},
    {SDL_SCANCODE_COMPUTER, 182, 0x6B, true}, {SDL_SCANCODE_AC_SEARCH, 170, 0x65, true},
    {SDL_SCANCODE_AC_HOME, 172, 0x32, true}, {SDL_SCANCODE_AC_BACK, 166, 0x6A, true},
    {SDL_SCANCODE_AC_FORWARD, 167, 0x69, true}, {SDL_SCANCODE_AC_STOP, 169, 0x68, true},
    {SDL_SCANCODE_AC_REFRESH, 168, 0x67, true}, {SDL_SCANCODE_AC_BOOKMARKS, 171, 0x66, true},
};

// Input-layer codes of the keys that are not on the keyboard page, as SDL scancodes.
constexpr std::pair<uint16_t, uint16_t> kEvdevMediaKeys[] = {
    {KEY_NEXTSONG, SDL_SCANCODE_AUDIONEXT}, {KEY_PREVIOUSSONG, SDL_SCANCODE_AUDIOPREV},
    {KEY_STOPCD, SDL_SCANCODE_AUDIOSTOP}, {KEY_PLAYPAUSE, SDL_SCANCODE_AUDIOPLAY},
    {KEY_CONFIG, SDL_SCANCODE_MEDIASELECT}, {KEY_MEDIA, SDL_SCANCODE_MEDIASELECT},
    {KEY_MAIL, SDL_SCANCODE_MAIL}, {KEY_CALC, SDL_SCANCODE_CALCULATOR}, {KEY_COMPUTER, SDL_SCANCODE_COMPUTER},
    {KEY_FILE, SDL_SCANCODE_COMPUTER}, {KEY_SEARCH, SDL_SCANCODE_AC_SEARCH}, {KEY_HOMEPAGE, SDL_SCANCODE_AC_HOME},
    {KEY_BACK, SDL_SCANCODE_AC_BACK}, {KEY_FORWARD, SDL_SCANCODE_AC_FORWARD}, {KEY_STOP, SDL_SCANCODE_AC_STOP},
    {KEY_REFRESH, SDL_SCANCODE_AC_REFRESH}, {KEY_BOOKMARKS, SDL_SCANCODE_AC_BOOKMARKS},
};

} // namespace

bool TranslateSdlKey(int sdlScancode, bool pressed, bool numLock, bool altDown, KeyHookEvent& out)
{
    for (const auto& k : kKeys) {
        if (k.key != sdlScancode)
            continue;
        const uint8_t vk = (!numLock && k.vkNumLockOff != 0) ? k.vkNumLockOff : k.vk;
        const bool isAlt = vk == 164 || vk == 165;
        const bool system = altDown || isAlt || vk == 121;  // Alt combinations and F10 are system keys
        out.message = pressed ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
        out.vkCode = vk;
        out.scanCode = k.scan;
        out.flags = (k.extended ? kHookFlagExtended : 0u) | (altDown ? kHookFlagAltDown : 0u) |
                    (pressed ? 0u : kHookFlagUp);
        return true;
    }
    return false;
}

bool TranslateEvdevKey(int evdevCode, bool pressed, bool numLock, bool altDown, KeyHookEvent& out)
{
    if (const int usage = EvdevToKeyboardUsage(evdevCode))
        return TranslateSdlKey(usage, pressed, numLock, altDown, out);
    for (const auto& [code, scancode] : kEvdevMediaKeys)
        if (code == evdevCode)
            return TranslateSdlKey(scancode, pressed, numLock, altDown, out);
    return false;
}

} // namespace platform
