#include "platform/EvdevFilterDevice.h"

#include "platform/VirtualHidDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr uint16_t kMirrorProductId = 0xFEEF;
constexpr int kGrabRetryMs = 50;

template <size_t Bits>
struct BitSet {
    std::array<unsigned long, (Bits + 8 * sizeof(unsigned long) - 1) / (8 * sizeof(unsigned long))> words{};
    bool Test(size_t bit) const
    {
        const size_t w = 8 * sizeof(unsigned long);
        return bit < Bits && (words[bit / w] >> (bit % w)) & 1UL;
    }
    bool Any() const
    {
        return std::any_of(words.begin(), words.end(), [](unsigned long v) { return v != 0; });
    }
};

bool LooksLikeKeyboard(int fd)
{
    BitSet<KEY_MAX + 1> keys;
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof(keys.words)), keys.words.data()) < 0)
        return false;
    return keys.Test(KEY_A) && keys.Test(KEY_Z) && keys.Test(KEY_ENTER);
}

// A uinput device with the capabilities of the source device, for the events that pass.
int CreateMirror(int source)
{
    const int fd = open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    BitSet<EV_MAX + 1> types;
    bool ok = ioctl(source, EVIOCGBIT(0, sizeof(types.words)), types.words.data()) >= 0;
    struct TypeBits {
        int type;
        unsigned long setter;
        size_t max;
    };
    const TypeBits kinds[] = {{EV_KEY, UI_SET_KEYBIT, KEY_MAX}, {EV_REL, UI_SET_RELBIT, REL_MAX},
                              {EV_ABS, UI_SET_ABSBIT, ABS_MAX}, {EV_MSC, UI_SET_MSCBIT, MSC_MAX},
                              {EV_LED, UI_SET_LEDBIT, LED_MAX}, {EV_SW, UI_SET_SWBIT, SW_MAX}};
    ok = ok && ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0;
    for (const auto& k : kinds) {
        if (!ok || !types.Test(static_cast<size_t>(k.type)))
            continue;
        BitSet<KEY_MAX + 1> codes;
        if (ioctl(source, EVIOCGBIT(k.type, sizeof(codes.words)), codes.words.data()) < 0)
            continue;
        ok = ioctl(fd, UI_SET_EVBIT, k.type) == 0;
        for (size_t code = 0; code <= k.max && ok; ++code) {
            if (!codes.Test(code))
                continue;
            ok = ioctl(fd, k.setter, static_cast<int>(code)) == 0;
            if (ok && k.type == EV_ABS) {
                uinput_abs_setup abs{};
                abs.code = static_cast<uint16_t>(code);
                ok = ioctl(source, EVIOCGABS(code), &abs.absinfo) >= 0 && ioctl(fd, UI_ABS_SETUP, &abs) == 0;
            }
        }
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = kVirtualDeviceVendorId;
    setup.id.product = kMirrorProductId;
    // The mirror's name tells the user where the keys pass: "Keystead pass-through <keyboard>".
    std::string name = "Keystead pass-through ";
    char sourceName[UINPUT_MAX_NAME_SIZE] = {};
    if (ioctl(source, EVIOCGNAME(sizeof(sourceName) - 1), sourceName) >= 0)
        name += sourceName;
    name.copy(setup.name, UINPUT_MAX_NAME_SIZE - 1);
    if (ok && ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0)
        return fd;
    close(fd);
    return -1;
}

bool WriteAll(int fd, const std::vector<input_event>& events)
{
    if (events.empty())
        return true;
    const size_t bytes = events.size() * sizeof(input_event);
    return write(fd, events.data(), bytes) == static_cast<ssize_t>(bytes);
}

} // namespace

struct EvdevFilterDevice::Keyboard {
    std::string path;
    int source = -1;
    int mirror = -1;
    bool grabbed = false;
    FilterRouter router;
};

EvdevFilterDevice::EvdevFilterDevice(std::vector<UsbId> keyboards, std::string inputDir)
    : keyboards_(std::move(keyboards)), inputDir_(std::move(inputDir))
{
    for (auto& fd : emergencyGrabs_)
        fd = -1;
    for (auto& fd : emergencyMirrors_)
        fd = -1;
}

EvdevFilterDevice::~EvdevFilterDevice()
{
    Close();
}

bool EvdevFilterDevice::Open()
{
    if (open_)
        return true;
    // The filter needs a mirror for the keys it passes on; without uinput it is not there.
    const int probe = open("/dev/uinput", O_WRONLY | O_CLOEXEC);
    if (probe < 0)
        return false;
    close(probe);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0)
        return false;
    {
        std::lock_guard lock(requestMutex_);
        stopRequested_ = false;
    }
    open_ = true;
    reader_ = std::thread([this] { Run(); });
    return true;
}

bool EvdevFilterDevice::IsOpen() const
{
    return open_;
}

void EvdevFilterDevice::Close()
{
    if (!open_.exchange(false))
        return;
    {
        std::lock_guard lock(requestMutex_);
        stopRequested_ = true;
    }
    Wake();
    reader_.join();
    close(wakeFd_);
    wakeFd_ = -1;
    events_.Cancel();
}

bool EvdevFilterDevice::DeviceControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output)
{
    if (!open_)
        return false;
    switch (code) {
    case kFilterSetKeyTable: {
        if (input.size() != kKeyTableBytes && input.size() != kZeroKeyTableBytes)
            return false;
        std::set<uint16_t> table;
        for (size_t i = 0; i + 4 <= input.size(); i += 4)
            if (const uint16_t key = static_cast<uint16_t>(input[i] | (input[i + 1] << 8)))
                table.insert(key);
        std::lock_guard lock(requestMutex_);
        requestedTable_ = std::move(table);
        tableChanged_ = true;
        break;
    }
    case kFilterTableLoaded: {  // look again for keyboards plugged in since the last table
        std::lock_guard lock(requestMutex_);
        rescanRequested_ = true;
        break;
    }
    case kFilterTableApplied:
        return true;
    case kFilterWaitKeyEvent: {
        FilterKeyEvent ev;
        if (output.size() < sizeof(ev) || !events_.Wait(ev))
            return false;
        std::copy(ev.bytes.begin(), ev.bytes.end(), output.begin());
        return true;
    }
    default:
        return false;
    }
    Wake();
    return true;
}

void EvdevFilterDevice::CancelPendingIo()
{
    events_.Cancel();
}

void EvdevFilterDevice::ResetCancel()
{
    events_.ResetCancel();
}

void EvdevFilterDevice::EmergencyRelease() noexcept
{
    for (auto& fd : emergencyGrabs_)
        if (const int f = fd.load(); f >= 0)
            ioctl(f, EVIOCGRAB, 0);
    for (auto& fd : emergencyMirrors_)
        if (const int f = fd.load(); f >= 0)
            ioctl(f, UI_DEV_DESTROY);
}

void EvdevFilterDevice::Wake()
{
    const uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof(one)) != sizeof(one)) {
        // The counter is already non-zero (a wake is pending): nothing more to do.
    }
}

void EvdevFilterDevice::Run()
{
    for (;;) {
        bool stop = false;
        {
            std::lock_guard lock(requestMutex_);
            stop = stopRequested_;
        }
        if (stop)
            break;
        ApplyPending();

        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}};
        bool waitingForGrab = false;
        for (const auto& kb : grabbed_) {
            fds.push_back({kb->source, POLLIN, 0});
            fds.push_back({kb->mirror, POLLIN, 0});
            waitingForGrab = waitingForGrab || !kb->grabbed;
        }
        if (poll(fds.data(), fds.size(), waitingForGrab ? kGrabRetryMs : -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            if (read(wakeFd_, &count, sizeof(count)) < 0) {
                // Nothing was pending after all.
            }
        }
        for (size_t i = 0; i < grabbed_.size(); ++i) {
            Keyboard& kb = *grabbed_[i];
            if (!kb.grabbed)
                TryGrab(kb);
            if (fds[1 + 2 * i].revents & (POLLIN | POLLERR | POLLHUP))
                Pump(kb);
            if (kb.source >= 0 && (fds[2 + 2 * i].revents & POLLIN))
                ForwardLeds(kb);
        }
        const size_t before = grabbed_.size();
        std::erase_if(grabbed_, [](const auto& kb) { return kb->source < 0; });
        if (grabbed_.size() != before)
            PublishFds();
    }
    for (auto& kb : grabbed_)
        Drop(*kb);
    grabbed_.clear();
    PublishFds();
}

void EvdevFilterDevice::ApplyPending()
{
    bool changed = false;
    bool rescan = false;
    {
        std::lock_guard lock(requestMutex_);
        if (tableChanged_) {
            table_ = requestedTable_;
            changed = true;
            tableChanged_ = false;
        }
        rescan = rescanRequested_;
        rescanRequested_ = false;
    }
    if (table_.empty()) {
        // Nothing to hold back: give every keyboard back to the system.
        for (auto& kb : grabbed_)
            Drop(*kb);
        grabbed_.clear();
        PublishFds();
        return;
    }
    if (changed)
        for (auto& kb : grabbed_)
            kb->router.SetHeldUsages(table_);
    if (changed || rescan || grabbed_.empty())
        Rescan();
}

void EvdevFilterDevice::Rescan()
{
    DIR* dir = opendir(inputDir_.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "event", 5) != 0)
            continue;
        const std::string path = inputDir_ + "/" + entry->d_name;
        if (std::any_of(grabbed_.begin(), grabbed_.end(), [&](const auto& kb) { return kb->path == path; }))
            continue;
        int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        input_id id{};
        const bool wanted = ioctl(fd, EVIOCGID, &id) == 0 && id.vendor != kVirtualDeviceVendorId &&
                            LooksLikeKeyboard(fd) &&
                            (keyboards_.empty() ||
                             std::any_of(keyboards_.begin(), keyboards_.end(), [&](const UsbId& k) {
                                 return k.vendor == id.vendor && k.product == id.product;
                             }));
        if (!wanted) {
            close(fd);
            continue;
        }
        auto kb = std::make_unique<Keyboard>();
        kb->path = path;
        kb->source = fd;
        kb->router.SetHeldUsages(table_);
        TryGrab(*kb);
        grabbed_.push_back(std::move(kb));
    }
    closedir(dir);
    PublishFds();
}

bool EvdevFilterDevice::TryGrab(Keyboard& kb)
{
    // Grabbing while a key is down would leave that key down for the rest of the system; wait
    // until the keyboard is idle.
    BitSet<KEY_MAX + 1> down;
    if (ioctl(kb.source, EVIOCGKEY(sizeof(down.words)), down.words.data()) < 0 || down.Any())
        return false;
    if (kb.mirror < 0)
        kb.mirror = CreateMirror(kb.source);
    if (kb.mirror < 0)
        return false;
    if (ioctl(kb.source, EVIOCGRAB, 1) != 0)
        return false;
    kb.grabbed = true;
    PublishFds();
    return true;
}

void EvdevFilterDevice::Drop(Keyboard& kb)
{
    if (kb.grabbed)
        ioctl(kb.source, EVIOCGRAB, 0);
    kb.grabbed = false;
    if (kb.mirror >= 0) {
        ioctl(kb.mirror, UI_DEV_DESTROY);  // releases whatever passed through and is still down
        close(kb.mirror);
        kb.mirror = -1;
    }
    if (kb.source >= 0)
        close(kb.source);
    kb.source = -1;
}

void EvdevFilterDevice::Pump(Keyboard& kb)
{
    input_event in[64];
    for (;;) {
        const ssize_t n = read(kb.source, in, sizeof(in));
        if (n < 0 && errno == EAGAIN)
            return;
        if (n <= 0) {  // unplugged
            Drop(kb);
            return;
        }
        if (!kb.grabbed)
            continue;  // not ours yet: the system sees these events itself
        std::vector<input_event> pass;
        for (size_t i = 0; i < static_cast<size_t>(n) / sizeof(input_event); ++i) {
            const input_event& ev = in[i];
            if (ev.type == EV_KEY) {
                const auto d = kb.router.Route(ev.code, ev.value);
                if (d.action == FilterRouter::Action::Report) {
                    events_.Push(FilterKeyEvent::Make(d.usage, d.pressed));
                    continue;
                }
                if (d.action == FilterRouter::Action::Drop)
                    continue;
            }
            pass.push_back(ev);
        }
        if (!WriteAll(kb.mirror, pass)) {
            // The mirror is gone: stop filtering this keyboard rather than swallow its keys.
            Drop(kb);
            return;
        }
    }
}

void EvdevFilterDevice::ForwardLeds(Keyboard& kb)
{
    input_event in[16];
    const ssize_t n = read(kb.mirror, in, sizeof(in));
    if (n <= 0)
        return;
    std::vector<input_event> leds;
    for (size_t i = 0; i < static_cast<size_t>(n) / sizeof(input_event); ++i)
        if (in[i].type == EV_LED)
            leds.push_back(in[i]);
    if (!leds.empty()) {
        leds.push_back(input_event{{}, EV_SYN, SYN_REPORT, 0});
        if (!WriteAll(kb.source, leds)) {
            // Opened read-only: the keyboard's LEDs then keep their state.
        }
    }
}

void EvdevFilterDevice::PublishFds()
{
    size_t i = 0;
    for (const auto& kb : grabbed_) {
        if (i >= kMaxEmergencyFds)
            break;
        emergencyGrabs_[i] = kb->grabbed ? kb->source : -1;
        emergencyMirrors_[i] = kb->mirror;
        ++i;
    }
    for (; i < kMaxEmergencyFds; ++i) {
        emergencyGrabs_[i] = -1;
        emergencyMirrors_[i] = -1;
    }
}

} // namespace platform
