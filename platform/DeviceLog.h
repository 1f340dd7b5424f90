#pragma once
#include <cstdint>
#include <span>
#include <string>

// An append-only trace of what a simulated device received, one line per report or control:
//   "report <128 hex digits>" or "control <code hex> <input hex>".
// Lines are written with one write(2) each and no allocation, so a fatal-signal handler may log too.
namespace platform {

class DeviceLog {
public:
    DeviceLog() = default;
    explicit DeviceLog(const std::string& path);  // opens for appending; stays silent when it cannot
    ~DeviceLog();
    DeviceLog(const DeviceLog&) = delete;
    DeviceLog& operator=(const DeviceLog&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Report(std::span<const uint8_t> bytes) const noexcept;
    void Control(uint32_t code, std::span<const uint8_t> input) const noexcept;

private:
    void Line(const char* tag, uint32_t code, bool withCode, std::span<const uint8_t> bytes) const noexcept;
    int fd_ = -1;
};

} // namespace platform
