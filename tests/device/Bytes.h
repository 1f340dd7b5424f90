#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <sstream>
#include <string>
#include <vector>

// Byte helpers for the device tests: reports are written and compared as hex text.
namespace devtest {

inline std::vector<std::uint8_t> FromHex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    return bytes;
}

inline std::string ToHex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

// The report as hex with its trailing zero bytes dropped, so expectations name only the
// bytes that matter and still catch any stray byte further on.
inline std::string Significant(std::span<const std::uint8_t> bytes)
{
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == 0)
        --end;
    return ToHex(bytes.first(end));
}

} // namespace devtest
