#pragma once
#include <string>

// Names under which keys appear in the user interface.

// Where a key event came from: keys caught by the keyboard hook get fixed names for the media
// and browser keys too; keys read through raw input get fixed names only up to code 165.
enum class KeyEventSource { Hook, RawInput };

struct KeyName {
    std::wstring name;
    int virtualKey; // the code to store: generic Shift, Ctrl and Alt become their left-hand codes
};

// Name of a Windows virtual-key code as a US keyboard layout calls the key, with the fixed
// names of modifiers, Windows keys and media keys. Empty for a code without a name.
KeyName GetKeyName(int virtualKey, KeyEventSource source = KeyEventSource::Hook);

// Name of a key code (HID usage) as the custom key dialog shows it; empty for other codes.
std::wstring GetCustomKeyDialogKeyName(int keyCode);
