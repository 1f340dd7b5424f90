#include "keys/KeyFunctionNames.h"

#include <array>
#include <string_view>

namespace {

struct VkName {
    int virtualKey;
    const wchar_t* name;
};

// What a US English keyboard layout calls each key. Page and cursor keys, Insert and Delete
// carry their extended names (not the keypad's); keypad keys carry the "Num" names.
constexpr VkName kLayoutNames[] = {
    {8, L"Backspace"}, {9, L"Tab"}, {12, L"Num 5"}, {13, L"Enter"}, {16, L"Shift"}, {17, L"Ctrl"},
    {18, L"Alt"}, {19, L"Pause"}, {20, L"Caps Lock"}, {27, L"Esc"}, {32, L"Space"},
    {33, L"Page Up"}, {34, L"Page Down"}, {35, L"End"}, {36, L"Home"}, {37, L"Left"}, {38, L"Up"},
    {39, L"Right"}, {40, L"Down"}, {44, L"Prnt Scrn"}, {45, L"Insert"}, {46, L"Delete"},
    {48, L"0"}, {49, L"1"}, {50, L"2"}, {51, L"3"}, {52, L"4"}, {53, L"5"}, {54, L"6"}, {55, L"7"},
    {56, L"8"}, {57, L"9"},
    {65, L"A"}, {66, L"B"}, {67, L"C"}, {68, L"D"}, {69, L"E"}, {70, L"F"}, {71, L"G"}, {72, L"H"},
    {73, L"I"}, {74, L"J"}, {75, L"K"}, {76, L"L"}, {77, L"M"}, {78, L"N"}, {79, L"O"}, {80, L"P"},
    {81, L"Q"}, {82, L"R"}, {83, L"S"}, {84, L"T"}, {85, L"U"}, {86, L"V"}, {87, L"W"}, {88, L"X"},
    {89, L"Y"}, {90, L"Z"},
    {91, L"Left Windows"}, {92, L"Right Windows"}, {93, L"Application"},
    {96, L"Num 0"}, {97, L"Num 1"}, {98, L"Num 2"}, {99, L"Num 3"}, {100, L"Num 4"}, {101, L"Num 5"},
    {102, L"Num 6"}, {103, L"Num 7"}, {104, L"Num 8"}, {105, L"Num 9"}, {106, L"Num *"},
    {107, L"Num +"}, {108, L"Num Enter"}, {109, L"Num -"}, {110, L"Num Del"}, {111, L"Num /"},
    {112, L"F1"}, {113, L"F2"}, {114, L"F3"}, {115, L"F4"}, {116, L"F5"}, {117, L"F6"},
    {118, L"F7"}, {119, L"F8"}, {120, L"F9"}, {121, L"F10"}, {122, L"F11"}, {123, L"F12"},
    {124, L"F13"}, {125, L"F14"}, {126, L"F15"}, {127, L"F16"}, {128, L"F17"}, {129, L"F18"},
    {130, L"F19"}, {131, L"F20"}, {132, L"F21"}, {133, L"F22"}, {134, L"F23"}, {135, L"F24"},
    {144, L"Num Lock"}, {145, L"Scroll Lock"},
    {160, L"Shift"}, {161, L"Right Shift"}, {162, L"Ctrl"}, {163, L"Right Ctrl"}, {164, L"Alt"},
    {165, L"Right Alt"},
    {186, L";"}, {187, L"="}, {188, L","}, {189, L"-"}, {190, L"."}, {191, L"/"}, {192, L"`"},
    {219, L"["}, {220, L"\\"}, {221, L"]"}, {222, L"'"}, {226, L"\\"},
};

// Fixed names that replace the layout's; the generic modifiers also change their code.
struct FixedName {
    int virtualKey;
    int storedKey;
    const wchar_t* name;
};

constexpr FixedName kFixedNames[] = {
    {16, 160, L"Shift"}, {17, 162, L"Ctrl"}, {18, 164, L"Alt"}, {19, 19, L"Pause"},
    {44, 44, L"Print Screen"}, {91, 91, L"Windows"}, {92, 92, L"RWindows"}, {93, 93, L"Application"},
    {144, 144, L"Num Lock"}, {160, 160, L"Shift"}, {161, 161, L"RShift"}, {162, 162, L"Ctrl"},
    {163, 163, L"RCtrl"}, {164, 164, L"Alt"}, {165, 165, L"RAlt"},
    {166, 166, L"Web-Backward"}, {167, 167, L"Web-Forward"}, {168, 168, L"Web-Refresh"},
    {169, 169, L"Web-Stop"}, {170, 170, L"Web-Search"}, {171, 171, L"Web-Favorites"},
    {172, 172, L"Web-Home"}, {173, 173, L"Vol Mute"}, {174, 174, L"Vol Down"}, {175, 175, L"Vol Up"},
    {176, 176, L"Next Track"}, {177, 177, L"Prev Track"}, {178, 178, L"Stop"},
    {179, 179, L"Play/Pause"}, {180, 180, L"EMail"}, {181, 181, L"Multimedia"},
    {182, 182, L"My Computer"}, {183, 183, L"Calculator"},
};

// Raw input events get fixed names only up to this code.
constexpr int kRawInputFixedLimit = 165;

} // namespace

KeyName GetKeyName(int virtualKey, KeyEventSource source)
{
    const int fixedLimit = source == KeyEventSource::RawInput ? kRawInputFixedLimit : 255;
    for (const FixedName& f : kFixedNames)
        if (f.virtualKey == virtualKey && virtualKey <= fixedLimit)
            return {f.name, f.storedKey};
    for (const VkName& n : kLayoutNames)
        if (n.virtualKey == virtualKey)
            return {n.name, virtualKey};
    return {std::wstring(), virtualKey};
}

std::wstring GetCustomKeyDialogKeyName(int keyCode)
{
    static constexpr std::wstring_view kLetters = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::wstring_view kDigits = L"1234567890";
    if (keyCode >= 4 && keyCode <= 29)
        return std::wstring(1, kLetters[static_cast<size_t>(keyCode - 4)]);
    if (keyCode >= 30 && keyCode <= 39)
        return std::wstring(1, kDigits[static_cast<size_t>(keyCode - 30)]);
    if (keyCode >= 58 && keyCode <= 69)
        return L"F" + std::to_wstring(keyCode - 57);
    if (keyCode >= 89 && keyCode <= 98)
        return std::wstring(1, kDigits[static_cast<size_t>(keyCode - 89)]);
    switch (keyCode) {
    case 40: return L"ENTER";
    case 41: return L"ESC";
    case 42: return L"backspace";
    case 43: return L"TAB";
    case 44: return L"SPACE";
    case 45: return L"-_";
    case 46: return L"+=";
    case 47: return L"[{";
    case 48: return L"]}";
    case 49: return L"\\";
    case 51: return L";:";
    case 52: return L"'";
    case 53: return L"~`";
    case 54: return L"<,";
    case 55: return L">.";
    case 56: return L"/?";
    case 57: return L"CAPS";
    case 70: return L"PRTSC";
    case 71: return L"SCRLK";
    case 72: return L"PASE";
    case 73: return L"INS";
    case 74: return L"HOME";
    case 75: return L"PG UP";
    case 76: return L"DEL";
    case 77: return L"END";
    case 78: return L"PG DN";
    case 79: return L"RIGHT";
    case 80: return L"LEFT";
    case 81: return L"DOWN";
    case 82: return L"UP";
    case 83: return L"NumLock";
    case 84: return L"/";
    case 85: return L"*";
    case 86: return L"-";
    case 87: return L"+";
    case 88: return L"Enter";
    case 99: return L".";
    case 101: return L"MENU";
    case 175: return L"FN";
    case 224: return L"CTRL";
    case 225: return L"SHIFT";
    case 226: return L"ALT";
    case 227: return L"WIN";
    case 228: return L"RCTRL";
    case 229: return L"RSHIFT";
    case 230: return L"RALT";
    default: return {};
    }
}
