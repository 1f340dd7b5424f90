#pragma once
#include "platform/InstanceChannel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command line of keystead-send:
//   keystead-send [--name DEVICE] --send MSG [WPARAM] [LPARAM]
// MSG, WPARAM and LPARAM are decimal, hexadecimal with 0x, or WM_USER+N / WM_APP+N.
struct SendCommand {
    std::wstring deviceName; // empty: the name from config.xml beside the tool
    platform::ChannelMessage message;
};

// Empty when the arguments do not form a command.
std::optional<SendCommand> ParseSendCommand(const std::vector<std::string_view>& args);
// One number of the command line; empty when it is not one.
std::optional<long long> ParseMessageNumber(std::string_view text);
