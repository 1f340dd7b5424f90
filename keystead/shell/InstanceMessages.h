#pragma once
#include "platform/InstanceChannel.h"

#include <cstdint>

// Messages that other processes post to the running instance through the instance channel.
namespace InstanceMessages {

constexpr std::uint32_t kUser = 0x0400;                 // WM_USER
constexpr std::uint32_t kRunKeyData = kUser + 68;       // lParam: key function data to run
constexpr std::uint32_t kExitRequest = kUser + 667;     // ends the program when lParam is kExitCode
constexpr std::int64_t kExitCode = 610;
constexpr std::uint32_t kApplyLanguage = kUser + 998;   // re-read every text from the language file
// Sent by a second start: show, restore and raise the main window (WM_APP + 1).
constexpr std::uint32_t kRaiseWindow = 0x8000 + 1;

inline bool IsExitRequest(const platform::ChannelMessage& m)
{
    return m.message == kExitRequest && m.lParam == kExitCode;
}

} // namespace InstanceMessages
