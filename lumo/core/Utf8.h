#pragma once
#include <string>
#include <string_view>

// UTF-8 conversion for the library's own needs (file names, desktop titles, text layout).
namespace Lumo::Utf8 {
std::string Narrow(std::wstring_view text);
// Malformed sequences become U+FFFD.
std::wstring Widen(std::string_view text);
} // namespace Lumo::Utf8
