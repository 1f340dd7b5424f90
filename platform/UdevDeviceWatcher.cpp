#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <thread>
#include <vector>

#include "platform/DeviceWatcher.h"
#include "platform/HidBackend.h"

namespace platform {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool ParseHex(std::string_view text, unsigned& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && ptr == text.data() + text.size();
}

bool ParseDecimal(std::string_view text, int& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    return ec == std::errc() && ptr == text.data() + text.size() && !text.empty();
}

// "BBBB:VVVV:PPPP.NNNN", the kernel's name for a HID device.
bool ParseHidName(std::string_view name, unsigned& bus, unsigned& vid, unsigned& pid)
{
    if (name.size() != 19 || name[4] != ':' || name[9] != ':' || name[14] != '.')
        return false;
    unsigned instance = 0;
    return ParseHex(name.substr(0, 4), bus) && ParseHex(name.substr(5, 4), vid) && ParseHex(name.substr(10, 4), pid)
        && ParseHex(name.substr(15, 4), instance);
}

// "1-2.4:1.3": USB interface (configuration 1, interface 3).
bool ParseUsbInterface(std::string_view name, int& number)
{
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos || name.find('-') == std::string_view::npos)
        return false;
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && dot > colon && ParseDecimal(name.substr(dot + 1), number);
}

class UdevDeviceWatcher : public DeviceWatcher {
public:
    ~UdevDeviceWatcher() override { Stop(); }

    bool Start(DeviceChangeHandler handler) override
    {
        if (thread_.joinable())
            return true;
        udev_ = udev_new();
        if (!udev_)
            return false;
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0
            || udev_monitor_enable_receiving(monitor_) < 0) {
            Release();
            return false;
        }
        stopFd_ = eventfd(0, EFD_CLOEXEC);
        if (stopFd_ < 0) {
            Release();
            return false;
        }
        handler_ = std::move(handler);
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    void Stop() override
    {
        if (thread_.joinable()) {
            stopping_ = true;
            // Wakes the poll at once; should the write fail, the poll's timeout ends the loop.
            const std::uint64_t one = 1;
            const bool woken = write(stopFd_, &one, sizeof one) == sizeof one;
            static_cast<void>(woken);
            thread_.join();
        }
        Release();
    }

private:
    void Run()
    {
        const int monitorFd = udev_monitor_get_fd(monitor_);
        while (!stopping_) {
            pollfd fds[2] = {{monitorFd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
            if (poll(fds, 2, 500) <= 0 || (fds[1].revents & POLLIN))
                continue;
            if (!(fds[0].revents & POLLIN))
                continue;
            udev_device* device = udev_monitor_receive_device(monitor_);
            if (!device)
                continue;
            const char* action = udev_device_get_action(device);
            const char* devpath = udev_device_get_devpath(device);
            const std::string_view act = action ? action : "";
            if (devpath && (act == "add" || act == "remove")) {
                if (const auto identity = IdentityFromSysPath(devpath))
                    handler_(act == "add" ? DeviceChange::Arrival : DeviceChange::Removal, *identity);
            }
            udev_device_unref(device);
        }
    }

    void Release()
    {
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        if (stopFd_ >= 0)
            close(stopFd_);
        monitor_ = nullptr;
        udev_ = nullptr;
        stopFd_ = -1;
        stopping_ = false;
    }

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int stopFd_ = -1;
    std::atomic<bool> stopping_{false};
    DeviceChangeHandler handler_;
    std::thread thread_;
};

} // namespace

std::optional<std::string> IdentityFromSysPath(std::string_view devpath)
{
    const std::vector<std::string_view> parts = Split(devpath, '/');
    for (std::size_t i = 0; i < parts.size(); ++i) {
        unsigned bus = 0, vid = 0, pid = 0;
        if (!ParseHidName(parts[i], bus, vid, pid))
            continue;
        int interfaceNumber = -1;
        if (i > 0)
            ParseUsbInterface(parts[i - 1], interfaceNumber);
        const HidBus kind = bus == 0x0003 ? HidBus::Usb : bus == 0x0005 ? HidBus::Bluetooth : HidBus::Other;
        return HidIdentity(static_cast<std::uint16_t>(vid), static_cast<std::uint16_t>(pid), interfaceNumber, kind);
    }
    return std::nullopt;
}

std::unique_ptr<DeviceWatcher> MakeUdevDeviceWatcher()
{
    return std::make_unique<UdevDeviceWatcher>();
}

} // namespace platform
