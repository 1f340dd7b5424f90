#include "xml/LeadingNumber.h"

#include <climits>
#include <cstddef>

namespace {

int DigitValue(wchar_t c, int base)
{
    int d = -1;
    if (c >= L'0' && c <= L'9')
        d = c - L'0';
    else if (c >= L'a' && c <= L'z')
        d = c - L'a' + 10;
    else if (c >= L'A' && c <= L'Z')
        d = c - L'A' + 10;
    return d < base ? d : -1;
}

} // namespace

int LeadingNumber(std::wstring_view text, int base)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    // "0x" counts as a prefix only when a digit follows; otherwise the "0" is the number.
    if (base == 16 && i + 2 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
        DigitValue(text[i + 2], base) >= 0)
        i += 2;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (int d; i < text.size() && (d = DigitValue(text[i], base)) >= 0; ++i)
        value = value * base + d > kLimit ? kLimit : value * base + d;
    if (negative)
        value = -value;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
