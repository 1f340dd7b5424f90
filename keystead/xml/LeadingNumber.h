#pragma once
#include <string_view>

// The longest leading number of a text, as every numeric attribute and setting is read:
// optional blanks, an optional sign, digits of the base (for base 16 an optional "0x"
// before them); 0 when there are none. Saturates at the int range.
int LeadingNumber(std::wstring_view text, int base);

inline int LeadingInt(std::wstring_view text) { return LeadingNumber(text, 10); }
inline int LeadingHexInt(std::wstring_view text) { return LeadingNumber(text, 16); }
