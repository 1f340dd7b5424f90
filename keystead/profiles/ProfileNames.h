#pragma once
#include <string>
#include <string_view>
#include <vector>

class ItemListView;

// Naming rules shared by the profile and macro lists.

// The first of "<stem> 1", "<stem> 2", ... up to "<stem> 1000" that equals no item text of the
// list; "<stem> 1000" when all are taken.
std::wstring MakeUniqueName(std::wstring_view stem, const ItemListView& list);
std::wstring MakeUniqueName(std::wstring_view stem, const std::vector<std::wstring>& taken);

// True when the name, lower-cased, contains one of the fifteen blocked words.
bool IsBlockedName(std::wstring_view name);

// A stored profile name as the list shows it in the language `languageId`: a name that starts
// with another language's default stem shows `stem` (language text 65) in its place.
std::wstring GetProfileDisplayName(std::wstring_view storedName, int languageId, std::wstring_view stem);
