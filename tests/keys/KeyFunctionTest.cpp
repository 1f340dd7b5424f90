#include "keys/KeyFunction.h"
#include "keys/KeyFunctionNames.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(VirtualKeyToCode, TranslatesTheTable)
{
    struct Case { int vk; int code; };
    const Case cases[] = {
        {65, 4}, {90, 29}, {49, 30}, {57, 38}, {48, 39}, {13, 40}, {27, 41}, {8, 42}, {9, 43}, {32, 44},
        {189, 45}, {187, 46}, {219, 47}, {221, 48}, {220, 49}, {666, 50}, {186, 51}, {222, 52}, {192, 53},
        {188, 54}, {190, 55}, {191, 56}, {20, 57}, {112, 58}, {123, 69}, {124, 104}, {135, 115},
        {44, 70}, {145, 71}, {19, 72}, {45, 73}, {36, 74}, {33, 75}, {46, 76}, {35, 77}, {34, 78},
        {39, 79}, {37, 80}, {40, 81}, {38, 82}, {144, 83}, {111, 84}, {106, 85}, {109, 86}, {107, 87},
        {108, 88}, {97, 89}, {105, 97}, {96, 98}, {110, 99}, {226, 100}, {93, 101}, {254, 175},
        {162, 224}, {160, 225}, {164, 226}, {91, 227}, {163, 228}, {161, 229}, {165, 230}, {92, 231},
        {136, 136}, {139, 139}, {173, 235}, {174, 233}, {175, 234}, {176, 239}, {177, 237}, {178, 236},
        {179, 238}, {166, 243}, {167, 244}, {168, 246}, {169, 245}, {170, 247}, {171, 248}, {172, 241},
        {180, 240}, {181, 232}, {182, 249}, {183, 242},
        // Untranslated: generic modifiers, gaps, out of range.
        {16, 0}, {17, 0}, {18, 0}, {0, 0}, {140, 0}, {255, 0}, {256, 0}, {-1, 0}, {665, 0}, {100000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyToCode(c.vk), c.code) << "vk " << c.vk;
}

TEST(VirtualKeyToCode, KeypadDigitsStayKeypadCodes)
{
    // Keypad events are recorded by their numeric virtual keys whatever the Num Lock state.
    for (int vk = 96; vk <= 105; ++vk) {
        const int code = VirtualKeyToCode(vk);
        EXPECT_GE(code, 89) << vk;
        EXPECT_LE(code, 98) << vk;
    }
    EXPECT_EQ(VirtualKeyToCode(110), 99);
}

TEST(ConsumerTable, CodesUsagesAndIcons)
{
    struct Case { int code; uint16_t usage; const wchar_t* icon; int text; };
    const Case cases[] = {
        {232, 0x0183, L"icon//icon_multimedia.png", 272}, {233, 0x00EA, L"icon//icon_vol_down.png", 235},
        {234, 0x00E9, L"icon//icon_vol_up.png", 234}, {235, 0x00E2, L"icon//icon_vol_mute.png", 236},
        {236, 0x00B7, L"icon//icon_stop.png", 231}, {237, 0x00B6, L"icon//icon_pre.png", 232},
        {238, 0x00CD, L"icon//icon_playpause.png", 230}, {239, 0x00B5, L"icon//icon_next.png", 233},
        {240, 0x018A, L"icon//icon_email.png", 271}, {241, 0x0223, L"icon//icon_home.png", 273},
        {242, 0x0192, L"icon//icon_cal.png", 270}, {243, 0x0224, L"icon//icon_web_backward.png", 276},
        {244, 0x0225, L"icon//icon_web_foreward.png", 277}, {245, 0x0226, L"icon//icon_web_stop.png", 275},
        {246, 0x0227, L"icon//icon_web_refresh.png", 274}, {247, 0x0221, L"icon//icon_web_search.png", 279},
        {248, 0x022A, L"icon//icon_favorites.png", 278}, {249, 0x0194, L"icon//icon_pc.png", 252},
    };
    ASSERT_EQ(ConsumerFunctions().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const ConsumerFunction& f = ConsumerFunctions()[i];
        EXPECT_EQ(f.code, cases[i].code);
        EXPECT_EQ(f.usage, cases[i].usage);
        EXPECT_STREQ(f.icon, cases[i].icon);
        EXPECT_EQ(f.descText, cases[i].text);
        EXPECT_EQ(ConsumerUsage(cases[i].code), cases[i].usage);
    }
    for (int code : {0, 4, 231, 250, 500, -5})
        EXPECT_EQ(ConsumerUsage(code), 0) << code;
}

TEST(MouseCodes, ButtonBits)
{
    const std::pair<int, int> cases[] = {{1, 0}, {2, 2}, {3, 1}, {7, 4}, {8, 3}, {0, -1}, {4, -1}, {9, -1}, {-1, -1}};
    for (auto [code, bit] : cases)
        EXPECT_EQ(MouseButtonBit(code), bit) << code;
}

using Steps = std::vector<std::pair<int, bool>>;

Steps StepsOf(int number)
{
    Steps out;
    for (const ShortcutStep& s : SystemShortcut(number))
        out.emplace_back(s.usage, s.press);
    return out;
}

TEST(SystemShortcuts, Sequences)
{
    constexpr int LCtrl = 224, LAlt = 226, LGui = 227, Space = 44;
    auto chord = [](int mod, int key) { return Steps{{mod, true}, {key, true}, {key, false}, {mod, false}}; };
    auto menu = [&](int key) {
        return Steps{{LAlt, true}, {Space, true}, {key, true}, {key, false}, {Space, false}, {LAlt, false}};
    };
    const Steps expected[15] = {
        chord(LCtrl, 4),  chord(LCtrl, 6),  chord(LCtrl, 27), chord(LCtrl, 25), chord(LCtrl, 29),
        chord(LCtrl, 22), chord(LGui, 8),   chord(LGui, 15),  chord(LGui, 7),   chord(LAlt, 43),
        chord(LGui, 16),  chord(LCtrl, 26), menu(27),         menu(17),         chord(LAlt, 61),
    };
    for (int n = 1; n <= 15; ++n) {
        EXPECT_EQ(StepsOf(n), expected[n - 1]) << "shortcut " << n;
        EXPECT_EQ(ShortcutLabelText(n), 700 + n);
    }
    EXPECT_TRUE(SystemShortcut(0).empty());
    EXPECT_TRUE(SystemShortcut(16).empty());
    EXPECT_TRUE(SystemShortcut(-3).empty());
}

TEST(KeyKinds, TipLabelsAndPickerKinds)
{
    const std::pair<int, int> labels[] = {{0, 0}, {1, 202}, {2, 205}, {12, 205}, {3, 206}, {5, 207},
                                          {7, 209}, {8, 210}, {9, 211}, {10, 212}, {11, 0}, {4, 0}, {99, 0}};
    for (auto [kind, text] : labels)
        EXPECT_EQ(KeyTipLabelText(kind), text) << kind;
    EXPECT_EQ(KindForPickerCode(4), KeyKind::Key);
    EXPECT_EQ(KindForPickerCode(499), KeyKind::Key);
    EXPECT_EQ(KindForPickerCode(500), KeyKind::KeyHigh);
}

TEST(GetKeyName, FixedNamesAndModifierRewrite)
{
    struct Case { int vk; const wchar_t* name; int stored; };
    const Case cases[] = {
        {16, L"Shift", 160}, {17, L"Ctrl", 162}, {18, L"Alt", 164}, {19, L"Pause", 19},
        {44, L"Print Screen", 44}, {91, L"Windows", 91}, {92, L"RWindows", 92}, {93, L"Application", 93},
        {144, L"Num Lock", 144}, {160, L"Shift", 160}, {161, L"RShift", 161}, {162, L"Ctrl", 162},
        {163, L"RCtrl", 163}, {164, L"Alt", 164}, {165, L"RAlt", 165}, {166, L"Web-Backward", 166},
        {167, L"Web-Forward", 167}, {168, L"Web-Refresh", 168}, {169, L"Web-Stop", 169},
        {170, L"Web-Search", 170}, {171, L"Web-Favorites", 171}, {172, L"Web-Home", 172},
        {173, L"Vol Mute", 173}, {174, L"Vol Down", 174}, {175, L"Vol Up", 175}, {176, L"Next Track", 176},
        {177, L"Prev Track", 177}, {178, L"Stop", 178}, {179, L"Play/Pause", 179}, {180, L"EMail", 180},
        {181, L"Multimedia", 181}, {182, L"My Computer", 182}, {183, L"Calculator", 183},
    };
    for (const Case& c : cases) {
        const KeyName k = GetKeyName(c.vk);
        EXPECT_EQ(k.name, c.name) << c.vk;
        EXPECT_EQ(k.virtualKey, c.stored) << c.vk;
    }
}

TEST(GetKeyName, UsLayoutNames)
{
    struct Case { int vk; const wchar_t* name; };
    const Case cases[] = {
        {65, L"A"}, {90, L"Z"}, {48, L"0"}, {57, L"9"}, {13, L"Enter"}, {27, L"Esc"}, {8, L"Backspace"},
        {9, L"Tab"}, {32, L"Space"}, {20, L"Caps Lock"}, {145, L"Scroll Lock"}, {112, L"F1"}, {135, L"F24"},
        // Page and cursor keys, Insert and Delete by their extended names, not the keypad's.
        {45, L"Insert"}, {46, L"Delete"}, {33, L"Page Up"}, {34, L"Page Down"}, {35, L"End"}, {36, L"Home"},
        {37, L"Left"}, {38, L"Up"}, {39, L"Right"}, {40, L"Down"},
        {96, L"Num 0"}, {103, L"Num 7"}, {110, L"Num Del"}, {106, L"Num *"}, {107, L"Num +"},
        {109, L"Num -"}, {111, L"Num /"}, {108, L"Num Enter"},
        {186, L";"}, {187, L"="}, {188, L","}, {189, L"-"}, {190, L"."}, {191, L"/"}, {192, L"`"},
        {219, L"["}, {220, L"\\"}, {221, L"]"}, {222, L"'"},
        {0, L""}, {41, L""}, {255, L""}, {-7, L""}, {5000, L""},
    };
    for (const Case& c : cases) {
        const KeyName k = GetKeyName(c.vk);
        EXPECT_EQ(k.name, c.name) << c.vk;
        EXPECT_EQ(k.virtualKey, c.vk) << c.vk;
    }
}

TEST(GetKeyName, RawInputKeepsFixedNamesOnlyUpTo165)
{
    EXPECT_EQ(GetKeyName(16, KeyEventSource::RawInput).virtualKey, 160);
    EXPECT_EQ(GetKeyName(165, KeyEventSource::RawInput).name, L"RAlt");
    EXPECT_EQ(GetKeyName(163, KeyEventSource::RawInput).name, L"RCtrl");
    EXPECT_NE(GetKeyName(181, KeyEventSource::RawInput).name, L"Multimedia");
    EXPECT_NE(GetKeyName(166, KeyEventSource::RawInput).name, L"Web-Backward");
}

TEST(CustomKeyDialogNames, ByKeyCode)
{
    struct Case { int code; const wchar_t* name; };
    const Case cases[] = {
        {4, L"A"}, {29, L"Z"}, {30, L"1"}, {38, L"9"}, {39, L"0"}, {40, L"ENTER"}, {41, L"ESC"},
        {42, L"backspace"}, {43, L"TAB"}, {44, L"SPACE"}, {45, L"-_"}, {46, L"+="}, {47, L"[{"},
        {48, L"]}"}, {49, L"\\"}, {50, L""}, {51, L";:"}, {52, L"'"}, {53, L"~`"}, {54, L"<,"}, {55, L">."},
        {56, L"/?"}, {57, L"CAPS"}, {58, L"F1"}, {69, L"F12"}, {70, L"PRTSC"}, {71, L"SCRLK"},
        {72, L"PASE"}, {73, L"INS"}, {74, L"HOME"}, {75, L"PG UP"}, {76, L"DEL"}, {77, L"END"},
        {78, L"PG DN"}, {79, L"RIGHT"}, {80, L"LEFT"}, {81, L"DOWN"}, {82, L"UP"}, {83, L"NumLock"},
        {84, L"/"}, {85, L"*"}, {86, L"-"}, {87, L"+"}, {88, L"Enter"}, {89, L"1"}, {97, L"9"},
        {98, L"0"}, {99, L"."}, {100, L""}, {101, L"MENU"}, {175, L"FN"}, {224, L"CTRL"},
        {225, L"SHIFT"}, {226, L"ALT"}, {227, L"WIN"}, {228, L"RCTRL"}, {229, L"RSHIFT"},
        {230, L"RALT"}, {231, L""}, {0, L""}, {3, L""}, {-1, L""}, {255, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCustomKeyDialogKeyName(c.code), c.name) << c.code;
}

} // namespace
