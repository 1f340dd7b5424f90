#pragma once
#include <cstdint>
#include <span>

// What a key can be given instead of its own function, and the code tables behind it.
// Key codes below 232 are HID Keyboard/Keypad usages; 232 to 249 are our own consumer codes.

// Values of macro_type in a key assignment record.
namespace KeyKind {
constexpr int Default = 0;   // restore the key's own function; never stored
constexpr int Disabled = 1;
constexpr int Key = 2;       // another key or a consumer function, code below 500
constexpr int Macro = 3;     // macro_value is a macro_id
constexpr int Mouse = 5;     // macro_value is a mouse code
constexpr int Shortcut = 7;  // macro_value is a system shortcut number 1 to 15
constexpr int Launch = 8;    // kinds 8 to 11 point at a t_key_otherdata row
constexpr int WebAddress = 9;
constexpr int TypeText = 10;
constexpr int SwitchProfile = 11;
constexpr int KeyHigh = 12;  // as Key, for picker codes of 500 and above
} // namespace KeyKind

// Language text of the first tip line of an assigned key; 0 for a kind without a label.
int KeyTipLabelText(int kind);
// Kind of an assignment chosen in the function picker.
int KindForPickerCode(int code);

// A layout key that can never be given a function.
constexpr int kUnassignableKeyCode = 255;
// The layer every operation uses.
constexpr int kNormalLayer = 0;

// Consumer functions, codes 232 to 249.
struct ConsumerFunction {
    int code;
    uint16_t usage;     // HID Consumer page usage sent for it
    const wchar_t* icon;  // picker icon
    int descText;       // language text of its picker description
};
std::span<const ConsumerFunction> ConsumerFunctions();
constexpr bool IsConsumerCode(int code) { return code >= 232 && code <= 249; }
// Consumer usage of a code; 0 for anything that is not a consumer code.
uint16_t ConsumerUsage(int code);

// Bit of the virtual mouse's button byte for a mouse code (1, 2, 3, 7, 8); -1 for other codes.
int MouseButtonBit(int mouseCode);

// System shortcuts 1 to 15: fixed press/release sequences of keyboard usages.
struct ShortcutStep {
    uint8_t usage;
    bool press;
};
constexpr int kShortcutCount = 15;
constexpr int kShortcutStepDelayMs = 10;
// Empty for a number outside 1 to 15.
std::span<const ShortcutStep> SystemShortcut(int number);
// Language text of a shortcut's label.
constexpr int ShortcutLabelText(int number) { return 700 + number; }

// Function code of a Windows virtual-key code (macro events, captured keys); 0 when untranslated.
int VirtualKeyToCode(int virtualKey);
