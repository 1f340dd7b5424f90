#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// Read-only INI file in the form of Windows profile strings: "[section]" headers and
// "key=value" lines, ';' comment lines, section and key names compared case-insensitively,
// blanks around names and values trimmed, a value wrapped in matching quotes unwrapped,
// the first occurrence of a key wins.
// Encodings: UTF-16LE or UTF-16BE with byte-order mark, UTF-8 with or without one.
namespace platform {

class IniFile {
public:
    // A value longer than this is cut (the fixed text buffer of the original callers).
    static constexpr size_t kMaxValueLength = 259;
    // Larger files are not read at all: they hold no values.
    static constexpr size_t kMaxFileSize = 4u * 1024u * 1024u;

    // False when the file cannot be read or is too large; the file then holds no values.
    bool Load(const std::string& path);
    // Parses raw file bytes (any of the encodings above).
    void LoadFromBytes(std::string_view bytes);
    void Clear() { m_values.clear(); }

    // Text of the key in the section; empty when the section or key is missing.
    std::wstring Get(std::wstring_view section, std::wstring_view key) const;
    bool Contains(std::wstring_view section, std::wstring_view key) const;

private:
    const std::wstring* Find(std::wstring_view section, std::wstring_view key) const;
    // lower-case section name -> lower-case key -> value
    std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::wstring>> m_values;
};

// Decodes file bytes by their byte-order mark: UTF-16LE, UTF-16BE, UTF-8 (BOM optional).
// Unpaired surrogates and bad UTF-8 become U+FFFD; a trailing odd byte is dropped.
std::wstring DecodeTextFile(std::string_view bytes);

} // namespace platform
