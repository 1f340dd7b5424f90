#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

#include <cwctype>

namespace platform {
namespace {
constexpr wchar_t kReplacement = 0xFFFD;

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::wstring out;
    out.reserve(bytes.size() / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> char32_t {
        return bigEndian ? (char32_t(p[2 * i]) << 8) | p[2 * i + 1] : (char32_t(p[2 * i + 1]) << 8) | p[2 * i];
    };
    for (size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                ++i;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u <= 0xDFFF ? kReplacement : static_cast<wchar_t>(u));
    }
    return out;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f' || c == 0xFEFF;
}

std::wstring_view Trim(std::wstring_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::wstring Lower(std::wstring_view s)
{
    std::wstring out(s);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}
} // namespace

std::wstring DecodeTextFile(std::string_view bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return FromUtf8(bytes);
}

bool IniFile::Load(const std::string& path)
{
    m_values.clear();
    std::string bytes;
    if (!ReadSmallFile(path, kMaxFileSize, bytes))
        return false;
    LoadFromBytes(bytes);
    return true;
}

void IniFile::LoadFromBytes(std::string_view bytes)
{
    m_values.clear();
    const std::wstring text = DecodeTextFile(bytes.substr(0, std::min(bytes.size(), kMaxFileSize)));
    std::wstring section;
    bool inSection = false; // keys before the first header belong to no section
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring_view line = Trim(std::wstring_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == L';')
            continue;
        if (line.front() == L'[') {
            const size_t close = line.find(L']');
            section = Lower(Trim(line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1)));
            inSection = true;
            continue;
        }
        const size_t eq = line.find(L'=');
        if (!inSection || eq == std::wstring_view::npos)
            continue;
        std::wstring_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        value = value.substr(0, kMaxValueLength);
        m_values[section].try_emplace(Lower(Trim(line.substr(0, eq))), value);
    }
}

const std::wstring* IniFile::Find(std::wstring_view section, std::wstring_view key) const
{
    const auto s = m_values.find(Lower(Trim(section)));
    if (s == m_values.end())
        return nullptr;
    const auto k = s->second.find(Lower(Trim(key)));
    return k == s->second.end() ? nullptr : &k->second;
}

std::wstring IniFile::Get(std::wstring_view section, std::wstring_view key) const
{
    const std::wstring* value = Find(section, key);
    return value ? *value : std::wstring();
}

bool IniFile::Contains(std::wstring_view section, std::wstring_view key) const
{
    return Find(section, key) != nullptr;
}

} // namespace platform
