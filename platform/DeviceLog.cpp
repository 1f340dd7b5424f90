#include "platform/DeviceLog.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

DeviceLog::DeviceLog(const std::string& path)
    : fd_(path.empty() ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644))
{
}

DeviceLog::~DeviceLog()
{
    if (fd_ >= 0)
        close(fd_);
}

void DeviceLog::Report(std::span<const uint8_t> bytes) const noexcept
{
    Line("report ", 0, false, bytes);
}

void DeviceLog::Control(uint32_t code, std::span<const uint8_t> input) const noexcept
{
    Line("control ", code, true, input);
}

void DeviceLog::Line(const char* tag, uint32_t code, bool withCode, std::span<const uint8_t> bytes) const noexcept
{
    if (fd_ < 0)
        return;
    static constexpr char kHex[] = "0123456789abcdef";
    char line[16 + 8 + 2 + 2 * 1024 + 2];
    size_t n = 0;
    for (const char* t = tag; *t != '\0'; ++t)
        line[n++] = *t;
    if (withCode) {
        for (int shift = 20; shift >= 0; shift -= 4)
            line[n++] = kHex[(code >> shift) & 0xF];
        line[n++] = ' ';
    }
    const size_t count = bytes.size() < 1024 ? bytes.size() : 1024;
    for (size_t i = 0; i < count; ++i) {
        line[n++] = kHex[bytes[i] >> 4];
        line[n++] = kHex[bytes[i] & 0xF];
    }
    line[n++] = '\n';
    // A trace line that cannot be written is lost; the device itself goes on.
    [[maybe_unused]] const ssize_t written = write(fd_, line, n);
}

} // namespace platform
