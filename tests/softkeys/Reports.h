#pragma once
#include "platform/VirtualHidDevice.h"

#include <cstdio>
#include <initializer_list>
#include <ostream>
#include <vector>

// Expected injection reports, built by hand from the byte layouts.
namespace platform {
inline void PrintTo(const InjectionReport& r, std::ostream* os)
{
    char hex[4];
    for (size_t i = 0; i < 36; ++i) {
        std::snprintf(hex, sizeof(hex), "%02x", r.bytes[i]);
        *os << hex;
    }
    *os << "...";
}
inline bool operator==(const InjectionReport& a, const InjectionReport& b)
{
    return a.bytes == b.bytes;
}
} // namespace platform

namespace expect {

using platform::InjectionReport;

inline InjectionReport Raw(uint8_t id, std::initializer_list<std::pair<size_t, uint8_t>> bytes)
{
    InjectionReport r;
    r.bytes[0] = 0x05;
    r.bytes[1] = id;
    for (const auto& [at, value] : bytes)
        r.bytes[at] = value;
    return r;
}

// Report 1 with the given usages down: usage u is bit u%8 of report byte 3 + u/8.
inline InjectionReport Keys(std::initializer_list<int> usages)
{
    InjectionReport r = Raw(1, {});
    for (int u : usages)
        r.bytes[3 + u / 8] |= static_cast<uint8_t>(1u << (u % 8));
    return r;
}

inline InjectionReport Mouse(uint8_t bits) { return Raw(2, {{2, bits}}); }

inline InjectionReport Consumer(uint16_t usage)
{
    return Raw(3, {{2, static_cast<uint8_t>(usage & 0xFF)}, {3, static_cast<uint8_t>(usage >> 8)}});
}

inline std::vector<InjectionReport> ReleaseAll()
{
    return {Keys({}), Mouse(0), Consumer(0), Raw(4, {})};
}

inline std::vector<InjectionReport> Concat(std::initializer_list<std::vector<InjectionReport>> parts)
{
    std::vector<InjectionReport> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace expect
