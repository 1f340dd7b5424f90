#pragma once
#include <string>
#include <string_view>

// The program's per-user values (language, close behaviour), kept as named string values
// in the settings folder named with the device name: $XDG_CONFIG_HOME/<device name>/.
// Values hold decimal text. Nothing here reports failures: a folder that cannot be made
// reads as no values and takes no writes.

// Leading decimal number of the named value; 0 when it is missing or not a number.
// Creates the settings folder when it does not exist yet.
int ReadRegistryInt(std::wstring_view name);
// Text of the named value; empty when missing.
std::wstring ReadRegistryString(std::wstring_view name);
// Writes the value, creating the settings folder if needed.
void WriteRegistryString(std::wstring_view name, std::wstring_view text);

// The stored language id ("LCID"): 0 on a first start (the folder was just created) or
// when the value is missing, "0" or not a number; 1033 when the folder cannot be made.
int ReadLanguageId();
// Stores the language id as decimal text.
void WriteLanguageId(int id);
