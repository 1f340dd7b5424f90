#include "keys/KeyFunction.h"

#include <array>

namespace {

constexpr ConsumerFunction kConsumers[] = {
    {232, 0x0183, L"icon//icon_multimedia.png", 272},
    {233, 0x00EA, L"icon//icon_vol_down.png", 235},
    {234, 0x00E9, L"icon//icon_vol_up.png", 234},
    {235, 0x00E2, L"icon//icon_vol_mute.png", 236},
    {236, 0x00B7, L"icon//icon_stop.png", 231},
    {237, 0x00B6, L"icon//icon_pre.png", 232},
    {238, 0x00CD, L"icon//icon_playpause.png", 230},
    {239, 0x00B5, L"icon//icon_next.png", 233},
    {240, 0x018A, L"icon//icon_email.png", 271},
    {241, 0x0223, L"icon//icon_home.png", 273},
    {242, 0x0192, L"icon//icon_cal.png", 270},
    {243, 0x0224, L"icon//icon_web_backward.png", 276},
    {244, 0x0225, L"icon//icon_web_foreward.png", 277},
    {245, 0x0226, L"icon//icon_web_stop.png", 275},
    {246, 0x0227, L"icon//icon_web_refresh.png", 274},
    {247, 0x0221, L"icon//icon_web_search.png", 279},
    {248, 0x022A, L"icon//icon_favorites.png", 278},
    {249, 0x0194, L"icon//icon_pc.png", 252},
};

// HID keyboard usages used by the shortcuts.
constexpr uint8_t kA = 4, kC = 6, kD = 7, kE = 8, kL = 15, kM = 16, kN = 17, kS = 22, kV = 25, kW = 26,
                  kX = 27, kZ = 29, kTab = 43, kSpace = 44, kF4 = 61, kLCtrl = 224, kLAlt = 226, kLGui = 227;

struct Shortcut {
    std::array<ShortcutStep, 6> steps;
    size_t count;
};

constexpr Shortcut Chord(uint8_t modifier, uint8_t key)
{
    return {{{{modifier, true}, {key, true}, {key, false}, {modifier, false}}}, 4};
}

// Opens the window menu with Alt+Space, then picks its entry; Space is let go before Alt.
constexpr Shortcut WindowMenu(uint8_t key)
{
    return {{{{kLAlt, true}, {kSpace, true}, {key, true}, {key, false}, {kSpace, false}, {kLAlt, false}}}, 6};
}

constexpr Shortcut kShortcuts[kShortcutCount] = {
    Chord(kLCtrl, kA), Chord(kLCtrl, kC), Chord(kLCtrl, kX), Chord(kLCtrl, kV), Chord(kLCtrl, kZ),
    Chord(kLCtrl, kS), Chord(kLGui, kE),  Chord(kLGui, kL),  Chord(kLGui, kD),  Chord(kLAlt, kTab),
    Chord(kLGui, kM),  Chord(kLCtrl, kW), WindowMenu(kX),    WindowMenu(kN),    Chord(kLAlt, kF4),
};

// Virtual-key code -> function code for the codes 0 to 255.
constexpr std::array<uint8_t, 256> BuildVirtualKeyTable()
{
    std::array<uint8_t, 256> t{};
    auto run = [&t](int firstVk, int lastVk, int firstCode) {
        for (int vk = firstVk; vk <= lastVk; ++vk)
            t[vk] = static_cast<uint8_t>(firstCode + (vk - firstVk));
    };
    auto list = [&t](std::initializer_list<std::pair<int, int>> pairs) {
        for (auto [vk, code] : pairs)
            t[vk] = static_cast<uint8_t>(code);
    };
    run(65, 90, 4);     // A..Z
    run(49, 57, 30);    // 1..9
    run(112, 123, 58);  // F1..F12
    run(124, 135, 104); // F13..F24
    run(97, 105, 89);   // keypad 1..9
    run(136, 139, 136); // unassigned virtual keys pass through
    list({{48, 39}, {13, 40}, {27, 41}, {8, 42}, {9, 43}, {32, 44},
          {189, 45}, {187, 46}, {219, 47}, {221, 48}, {220, 49},
          {186, 51}, {222, 52}, {192, 53}, {188, 54}, {190, 55}, {191, 56},
          {20, 57}, {44, 70}, {145, 71}, {19, 72}, {45, 73}, {36, 74}, {33, 75},
          {46, 76}, {35, 77}, {34, 78}, {39, 79}, {37, 80}, {40, 81}, {38, 82},
          {144, 83}, {111, 84}, {106, 85}, {109, 86}, {107, 87}, {108, 88},
          {96, 98}, {110, 99}, {226, 100}, {93, 101}, {254, 175},
          {162, 224}, {160, 225}, {164, 226}, {91, 227},
          {163, 228}, {161, 229}, {165, 230}, {92, 231},
          {173, 235}, {174, 233}, {175, 234},
          {176, 239}, {177, 237}, {178, 236}, {179, 238},
          {166, 243}, {167, 244}, {168, 246}, {169, 245},
          {170, 247}, {171, 248}, {172, 241},
          {180, 240}, {181, 232}, {182, 249}, {183, 242}});
    return t;
}

constexpr std::array<uint8_t, 256> kVirtualKeyCodes = BuildVirtualKeyTable();

// Stands for the non-US # key, which has no Windows virtual-key code of its own.
constexpr int kNonUsHashVirtualKey = 666;

} // namespace

int KeyTipLabelText(int kind)
{
    switch (kind) {
    case KeyKind::Disabled: return 202;
    case KeyKind::Key:
    case KeyKind::KeyHigh: return 205;
    case KeyKind::Macro: return 206;
    case KeyKind::Mouse: return 207;
    case KeyKind::Shortcut: return 209;
    case KeyKind::Launch: return 210;
    case KeyKind::WebAddress: return 211;
    case KeyKind::TypeText: return 212;
    default: return 0;
    }
}

int KindForPickerCode(int code) { return code < 500 ? KeyKind::Key : KeyKind::KeyHigh; }

std::span<const ConsumerFunction> ConsumerFunctions() { return kConsumers; }

uint16_t ConsumerUsage(int code)
{
    return IsConsumerCode(code) ? kConsumers[code - 232].usage : 0;
}

int MouseButtonBit(int mouseCode)
{
    switch (mouseCode) {
    case 1: return 0; // left
    case 2: return 2; // middle
    case 3: return 1; // right
    case 7: return 4; // forward
    case 8: return 3; // back
    default: return -1;
    }
}

std::span<const ShortcutStep> SystemShortcut(int number)
{
    if (number < 1 || number > kShortcutCount)
        return {};
    const Shortcut& s = kShortcuts[number - 1];
    return {s.steps.data(), s.count};
}

int VirtualKeyToCode(int virtualKey)
{
    if (virtualKey == kNonUsHashVirtualKey)
        return 50;
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return kVirtualKeyCodes[static_cast<size_t>(virtualKey)];
}
