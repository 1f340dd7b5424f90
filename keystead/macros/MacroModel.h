#pragma once
#include "store/Records.h"

#include <string>
#include <string_view>
#include <vector>

class DataStore;

// Macro headers and events as the program creates them, and how macros are named.

// Event types.
namespace MacroEventType {
constexpr int KeyDown = 2;
constexpr int KeyUp = 3;
} // namespace MacroEventType

// delay_type of a macro header: how recording sets the delays.
namespace MacroDelayType {
constexpr int Recorded = 1;
constexpr int None = 2;
constexpr int Fixed = 3;
} // namespace MacroDelayType

constexpr int kMinPlayTimes = 1;
constexpr int kMaxPlayTimes = 99;
constexpr int kMaxRecordedDelayMs = 31000;
// Language text of the word for "macro": stem of default names and shown prefix.
constexpr int kMacroStemText = 331;

// Header of a new macro: played once, recorded delays, no fixed delay.
MacroData NewMacroHeader(std::wstring_view name);

// Name of a new macro: "<stem> <n>" against the names already in the list.
std::wstring MakeDefaultMacroName(std::wstring_view stem, const std::vector<std::wstring>& taken);
// Name of a copy of the macro `sourceName`: "<sourceName> - <n>".
std::wstring MakeDuplicateMacroName(std::wstring_view sourceName, const std::vector<std::wstring>& taken);

// A stored macro name as the lists show it: in languages 1033, 1046 and 2052 a leading "Macro"
// or "宏" is shown as `stem` (language text 331). The stored name does not change.
std::wstring GetMacroDisplayName(std::wstring_view storedName, int languageId, std::wstring_view stem);

// Copies a macro's header and events under a new name; returns the new macro_id, 0 on failure.
int DuplicateMacro(DataStore& store, int sourceId, const std::vector<std::wstring>& takenNames);
