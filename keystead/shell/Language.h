#pragma once
#include <string>
#include <string_view>

// The user-interface language of this run and the numbered texts of its language file
// "<language folder>/<id>.lan". Every user-visible text is a numbered text of section
// "KB.DIALOG". There is no fallback: a missing file, section or key gives the empty text.

// Language id of this run (a Windows language id such as 1033 or 2052); 0 until set.
int GetCurrentLanguageId();
void SetCurrentLanguageId(int id);

// Text number `number` of the section in the current language file, at most 259 characters.
std::wstring GetLanguageText(int number, std::wstring_view section = L"KB.DIALOG");

// Folder of the language files; the default is the program folder's "language/".
void SetLanguageFolder(const std::wstring& dir);
std::wstring GetLanguageFolder();
// Path of the language file of an id, for example ".../language/1033.lan".
std::wstring GetLanguageFilePath(int id);
