#include "platform/UinputVirtualDevice.h"

#include "platform/KeyUsageMap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr const char* kUinputPath = "/dev/uinput";
constexpr const char* kDeviceName = "Keystead virtual HID device";

bool EnableCapabilities(int fd)
{
    bool ok = ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0 &&
              ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 && ioctl(fd, UI_SET_EVBIT, EV_REP) == 0;
    for (int usage = 0; usage < 256 && ok; ++usage)
        if (const int code = KeyboardUsageToEvdev(usage))
            ok = ioctl(fd, UI_SET_KEYBIT, code) == 0;
    for (int usage = 0; usage < 0x300 && ok; ++usage)
        if (const int code = ConsumerUsageToEvdev(usage))
            ok = ioctl(fd, UI_SET_KEYBIT, code) == 0;
    for (int bit = 0; bit < 5 && ok; ++bit)
        ok = ioctl(fd, UI_SET_KEYBIT, MouseBitToEvdev(bit)) == 0;
    // Pointer axes so that desktops treat the buttons as a mouse; they are never moved.
    for (int axis : {REL_X, REL_Y, REL_WHEEL})
        ok = ok && ioctl(fd, UI_SET_RELBIT, axis) == 0;
    return ok;
}

} // namespace

UinputVirtualDevice::~UinputVirtualDevice()
{
    Close();
}

bool UinputVirtualDevice::Find()
{
    std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        return true;
    std::printf("\n....looking for our HID device (with UP=0x%04X and Usage=0x%02X)\n", kVirtualDeviceUsagePage,
                kVirtualDeviceUsage);
    const int fd = open(kUinputPath, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::printf("Warning: CreateFile failed: %d\n", errno);
        return false;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = kVirtualDeviceVendorId;
    setup.id.product = kVirtualDeviceProductId;
    setup.id.version = 1;
    std::strncpy(setup.name, kDeviceName, UINPUT_MAX_NAME_SIZE - 1);
    if (!EnableCapabilities(fd) || ioctl(fd, UI_DEV_SETUP, &setup) != 0 || ioctl(fd, UI_DEV_CREATE) != 0) {
        std::printf("Device attributes doesn't match the sample \n");
        close(fd);
        return false;
    }
    std::printf("Device Attributes - PID: 0x%x, VID: 0x%x \n", kVirtualDeviceProductId, kVirtualDeviceVendorId);
    std::printf("Success: Found my device.. \n");
    decoder_ = InjectionDecoder();
    fd_ = fd;
    return true;
}

void UinputVirtualDevice::Close()
{
    std::lock_guard lock(mutex_);
    CloseLocked();
}

void UinputVirtualDevice::CloseLocked()
{
    const int fd = fd_.exchange(-1);
    if (fd < 0)
        return;
    // Destroying the device makes the input core release whatever it still holds down.
    ioctl(fd, UI_DEV_DESTROY);
    close(fd);
}

bool UinputVirtualDevice::IsOpen() const
{
    return fd_ >= 0;
}

bool UinputVirtualDevice::Write(const InjectionReport& report)
{
    std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return false;
    return WriteEvents(decoder_.Decode(report));
}

bool UinputVirtualDevice::WriteEvents(const std::vector<InputEventSpec>& events)
{
    if (events.empty())
        return true;
    std::vector<input_event> raw(events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        raw[i].type = events[i].type;
        raw[i].code = events[i].code;
        raw[i].value = events[i].value;
    }
    const size_t bytes = raw.size() * sizeof(input_event);
    const ssize_t written = write(fd_, raw.data(), bytes);
    if (written == static_cast<ssize_t>(bytes))
        return true;
    CloseLocked();
    return false;
}

void UinputVirtualDevice::EmergencyRelease() noexcept
{
    const int fd = fd_.load();
    if (fd >= 0)
        ioctl(fd, UI_DEV_DESTROY);
}

} // namespace platform
