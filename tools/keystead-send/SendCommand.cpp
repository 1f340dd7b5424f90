#include "SendCommand.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdlib>
#include <string>

std::optional<long long> ParseMessageNumber(std::string_view text)
{
    long long base = 0;
    for (const auto& [prefix, value] : {std::pair{std::string_view("WM_USER+"), 0x0400LL},
                                        std::pair{std::string_view("WM_APP+"), 0x8000LL}}) {
        if (text.rfind(prefix, 0) == 0) {
            base = value;
            text.remove_prefix(prefix.size());
            break;
        }
    }
    const std::string digits(text);
    if (digits.empty() || digits.front() == ' ' || digits.front() == '+')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), &end, 0);
    if (errno != 0 || end != digits.c_str() + digits.size())
        return std::nullopt;
    return base + value;
}

std::optional<SendCommand> ParseSendCommand(const std::vector<std::string_view>& args)
{
    SendCommand command;
    std::vector<long long> numbers;
    bool send = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name" && i + 1 < args.size()) {
            command.deviceName = platform::FromUtf8(args[++i]);
        } else if (args[i] == "--send" && !send) {
            send = true;
        } else if (send && numbers.size() < 3) {
            const auto number = ParseMessageNumber(args[i]);
            if (!number)
                return std::nullopt;
            numbers.push_back(*number);
        } else {
            return std::nullopt;
        }
    }
    if (!send || numbers.empty() || numbers[0] < 0 || numbers[0] > 0xFFFFFFFFLL)
        return std::nullopt;
    command.message.message = static_cast<std::uint32_t>(numbers[0]);
    command.message.wParam = numbers.size() > 1 ? static_cast<std::uint64_t>(numbers[1]) : 0;
    command.message.lParam = numbers.size() > 2 ? numbers[2] : 0;
    return command;
}
