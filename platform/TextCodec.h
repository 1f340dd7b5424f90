#pragma once
#include <string>
#include <string_view>

// The one place where in-memory wide text meets UTF-8 on disk, in SQLite and in XML.
// On Linux wchar_t holds one code point. Malformed input never fails: bad UTF-8
// sequences and invalid code points become U+FFFD.
namespace platform {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

} // namespace platform
