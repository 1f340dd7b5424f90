#pragma once
#include <string_view>

// Compares two dotted version texts part by part as decimal numbers (a part that is not a
// number reads as 0). Returns 0 when all parts are equal, -1 when the first text is the
// newer at the first differing part, 1 when the second is, and 2 when the two texts have
// different numbers of parts.
int CompareVersions(std::wstring_view first, std::wstring_view second);
