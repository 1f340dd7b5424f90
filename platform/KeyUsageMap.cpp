#include "platform/KeyUsageMap.h"

#include <array>
#include <cstddef>
#include <linux/input-event-codes.h>
#include <utility>

namespace platform {
namespace {

// Keyboard page usage -> KEY_* code, as the kernel's HID input layer maps a real keyboard.
constexpr std::pair<uint8_t, uint16_t> kKeyboardPairs[] = {
    {4, KEY_A}, {5, KEY_B}, {6, KEY_C}, {7, KEY_D}, {8, KEY_E}, {9, KEY_F}, {10, KEY_G},
    {11, KEY_H}, {12, KEY_I}, {13, KEY_J}, {14, KEY_K}, {15, KEY_L}, {16, KEY_M}, {17, KEY_N},
    {18, KEY_O}, {19, KEY_P}, {20, KEY_Q}, {21, KEY_R}, {22, KEY_S}, {23, KEY_T}, {24, KEY_U},
    {25, KEY_V}, {26, KEY_W}, {27, KEY_X}, {28, KEY_Y}, {29, KEY_Z},
    {30, KEY_1}, {31, KEY_2}, {32, KEY_3}, {33, KEY_4}, {34, KEY_5}, {35, KEY_6}, {36, KEY_7},
    {37, KEY_8}, {38, KEY_9}, {39, KEY_0},
    {40, KEY_ENTER}, {41, KEY_ESC}, {42, KEY_BACKSPACE}, {43, KEY_TAB}, {44, KEY_SPACE},
    {45, KEY_MINUS}, {46, KEY_EQUAL}, {47, KEY_LEFTBRACE}, {48, KEY_RIGHTBRACE},
    {49, KEY_BACKSLASH}, {50, KEY_BACKSLASH}, {51, KEY_SEMICOLON}, {52, KEY_APOSTROPHE},
    {53, KEY_GRAVE}, {54, KEY_COMMA}, {55, KEY_DOT}, {56, KEY_SLASH}, {57, KEY_CAPSLOCK},
    {58, KEY_F1}, {59, KEY_F2}, {60, KEY_F3}, {61, KEY_F4}, {62, KEY_F5}, {63, KEY_F6},
    {64, KEY_F7}, {65, KEY_F8}, {66, KEY_F9}, {67, KEY_F10}, {68, KEY_F11}, {69, KEY_F12},
    {70, KEY_SYSRQ}, {71, KEY_SCROLLLOCK}, {72, KEY_PAUSE}, {73, KEY_INSERT}, {74, KEY_HOME},
    {75, KEY_PAGEUP}, {76, KEY_DELETE}, {77, KEY_END}, {78, KEY_PAGEDOWN}, {79, KEY_RIGHT},
    {80, KEY_LEFT}, {81, KEY_DOWN}, {82, KEY_UP}, {83, KEY_NUMLOCK}, {84, KEY_KPSLASH},
    {85, KEY_KPASTERISK}, {86, KEY_KPMINUS}, {87, KEY_KPPLUS}, {88, KEY_KPENTER},
    {89, KEY_KP1}, {90, KEY_KP2}, {91, KEY_KP3}, {92, KEY_KP4}, {93, KEY_KP5}, {94, KEY_KP6},
    {95, KEY_KP7}, {96, KEY_KP8}, {97, KEY_KP9}, {98, KEY_KP0}, {99, KEY_KPDOT},
    {100, KEY_102ND}, {101, KEY_COMPOSE}, {102, KEY_POWER}, {103, KEY_KPEQUAL},
    {104, KEY_F13}, {105, KEY_F14}, {106, KEY_F15}, {107, KEY_F16}, {108, KEY_F17},
    {109, KEY_F18}, {110, KEY_F19}, {111, KEY_F20}, {112, KEY_F21}, {113, KEY_F22},
    {114, KEY_F23}, {115, KEY_F24}, {116, KEY_OPEN}, {117, KEY_HELP}, {118, KEY_PROPS},
    {119, KEY_FRONT}, {120, KEY_STOP}, {121, KEY_AGAIN}, {122, KEY_UNDO}, {123, KEY_CUT},
    {124, KEY_COPY}, {125, KEY_PASTE}, {126, KEY_FIND}, {127, KEY_MUTE}, {128, KEY_VOLUMEUP},
    {129, KEY_VOLUMEDOWN}, {133, KEY_KPCOMMA}, {135, KEY_RO}, {136, KEY_KATAKANAHIRAGANA},
    {137, KEY_YEN}, {138, KEY_HENKAN}, {139, KEY_MUHENKAN}, {140, KEY_KPJPCOMMA},
    {144, KEY_HANGEUL}, {145, KEY_HANJA}, {146, KEY_KATAKANA}, {147, KEY_HIRAGANA},
    {148, KEY_ZENKAKUHANKAKU}, {182, KEY_KPLEFTPAREN}, {183, KEY_KPRIGHTPAREN},
    {224, KEY_LEFTCTRL}, {225, KEY_LEFTSHIFT}, {226, KEY_LEFTALT}, {227, KEY_LEFTMETA},
    {228, KEY_RIGHTCTRL}, {229, KEY_RIGHTSHIFT}, {230, KEY_RIGHTALT}, {231, KEY_RIGHTMETA},
};

constexpr std::pair<uint16_t, uint16_t> kConsumerPairs[] = {
    {0x00B5, KEY_NEXTSONG}, {0x00B6, KEY_PREVIOUSSONG}, {0x00B7, KEY_STOPCD},
    {0x00CD, KEY_PLAYPAUSE}, {0x00E2, KEY_MUTE}, {0x00E9, KEY_VOLUMEUP}, {0x00EA, KEY_VOLUMEDOWN},
    {0x0183, KEY_CONFIG}, {0x018A, KEY_MAIL}, {0x0192, KEY_CALC}, {0x0194, KEY_FILE},
    {0x0221, KEY_SEARCH}, {0x0223, KEY_HOMEPAGE}, {0x0224, KEY_BACK}, {0x0225, KEY_FORWARD},
    {0x0226, KEY_STOP}, {0x0227, KEY_REFRESH}, {0x022A, KEY_BOOKMARKS},
};

struct Tables {
    std::array<uint16_t, 256> toEvdev{};
    std::array<uint8_t, KEY_MAX + 1> toUsage{};
    Tables()
    {
        for (const auto& [usage, code] : kKeyboardPairs) {
            toEvdev[usage] = code;
            if (toUsage[code] == 0) // usage 50 shares KEY_BACKSLASH; the back map keeps 49
                toUsage[code] = usage;
        }
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

} // namespace

int KeyboardUsageToEvdev(int usage)
{
    if (usage < 0 || usage > 255)
        return 0;
    return GetTables().toEvdev[static_cast<size_t>(usage)];
}

int EvdevToKeyboardUsage(int code)
{
    if (code < 0 || code > KEY_MAX)
        return 0;
    return GetTables().toUsage[static_cast<size_t>(code)];
}

int ConsumerUsageToEvdev(int usage)
{
    for (const auto& [u, code] : kConsumerPairs)
        if (u == usage)
            return code;
    return 0;
}

int MouseBitToEvdev(int bit)
{
    static constexpr int kButtons[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA};
    return bit >= 0 && bit < 5 ? kButtons[bit] : 0;
}

} // namespace platform
