#include "platform/SimulatedKeyboardControl.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace platform {
namespace {

constexpr std::size_t kMaxCommand = 256;
constexpr int kIoTimeoutMs = 1000;

bool ParseNumber(std::string_view text, int& value, int base = 10)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

std::string Hex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

std::string StateText(SimulatedKeyboard& keyboard)
{
    const SimulatedKeyboardState s = keyboard.State();
    std::ostringstream out;
    out << "connections";
    for (int c = 0; c <= 2; ++c)
        if (keyboard.IsAttached(c))
            out << ' ' << c;
    out << "\nfirmware " << std::hex << s.firmwareVersion << std::dec;
    out << "\nlighting mode " << s.lighting.mode << " brightness " << s.lighting.brightness << " speed "
        << s.lighting.speed << " direction " << s.lighting.direction << " colorful " << s.lighting.colorful
        << " colour-index " << s.lighting.colourIndex << " colour " << std::hex << s.lighting.colour << std::dec
        << " option " << s.lighting.option;
    out << "\nmacro slots";
    for (int i = 1; i <= 13; ++i)
        if (s.macroSlotKey[i])
            out << ' ' << i << ':' << static_cast<int>(s.macroSlotKey[i]);
    out << "\nfunction slots";
    for (int i = 1; i <= 10; ++i)
        if (s.functionSlotKey[i])
            out << ' ' << i << ':' << static_cast<int>(s.functionSlotKey[i]) << '=' << static_cast<int>(s.functionSlotValue[i]);
    out << "\nkey map " << Hex(s.keyMap);
    out << "\ncustom colours " << Hex(s.customColours);
    out << "\nstream frames " << s.streamFrames << "\nfactory resets " << s.factoryResets << "\nunknown reports "
        << s.unknownReports << '\n';
    return out.str();
}

int ConnectTo(const std::string& path)
{
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path))
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = send(fd, data.data(), data.size(), MSG_NOSIGNAL); // a closed peer is no signal
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Reads up to `limit` bytes until end of stream or `stop` (a newline), with a timeout.
std::string ReadSome(int fd, std::size_t limit, bool toNewline)
{
    std::string data;
    char buf[512];
    while (data.size() < limit) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, kIoTimeoutMs) <= 0)
            break;
        const ssize_t n = read(fd, buf, std::min(sizeof buf, limit - data.size()));
        if (n <= 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        if (toNewline && data.find('\n') != std::string::npos)
            break;
    }
    return data;
}

} // namespace

SimulatorCommands::SimulatorCommands(std::shared_ptr<SimulatedKeyboard> keyboard)
    : keyboard_(std::move(keyboard)), counters_(std::make_shared<FaultCounters>())
{
    keyboard_->SetFault([c = counters_](char kind, std::span<const std::uint8_t>) {
        std::atomic<int>& n = kind == 'O' ? c->writes : kind == 'F' ? c->features : c->gets;
        int left = n.load();
        while (left > 0 && !n.compare_exchange_weak(left, left - 1)) {
        }
        return left > 0;
    });
}

std::string SimulatorCommands::Run(std::string_view command)
{
    SimulatedKeyboard& keyboard = *keyboard_;
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r' || command.back() == ' '))
        command.remove_suffix(1);
    const std::size_t space = command.find(' ');
    const std::string_view verb = command.substr(0, space);
    const std::string_view arg = space == std::string_view::npos ? std::string_view{} : command.substr(space + 1);
    int n = 0;
    if (verb == "state" && arg.empty())
        return StateText(keyboard);
    if (verb == "unplug" && arg.empty()) {
        keyboard.DetachAll();
        return "ok\n";
    }
    if (verb == "firmware") {
        if (!ParseNumber(arg, n, 16) || n > 0xFFFF)
            return "error: expected a number\n";
        keyboard.SetFirmwareVersion(static_cast<std::uint16_t>(n));
        return "ok\n";
    }
    if (!ParseNumber(arg, n))
        return "error: expected a number\n";
    if (verb == "plug")
        keyboard.Attach(n);
    else if (verb == "unplug")
        keyboard.Detach(n);
    else if (verb == "unplug-after")
        keyboard.DetachAfter(n);
    else if (verb == "fail-writes")
        counters_->writes = n;
    else if (verb == "fail-features")
        counters_->features = n;
    else if (verb == "fail-gets")
        counters_->gets = n;
    else
        return "error: unknown command\n";
    return "ok\n";
}

std::string SimulatorControlPath()
{
    if (const char* path = std::getenv("KEYSTEAD_DEVICE_CONTROL"); path && *path)
        return path;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/keystead-keyboard.sock";
    return "/tmp/keystead-keyboard-" + std::to_string(getuid()) + ".sock";
}

SimulatedKeyboardControl::SimulatedKeyboardControl(std::shared_ptr<SimulatedKeyboard> keyboard)
    : commands_(std::move(keyboard))
{
}

SimulatedKeyboardControl::~SimulatedKeyboardControl()
{
    Stop();
}

bool SimulatedKeyboardControl::Start(const std::string& socketPath)
{
    if (thread_.joinable())
        return true;
    sockaddr_un address{};
    if (socketPath.size() >= sizeof(address.sun_path))
        return false;
    // A socket left by an earlier run that no longer answers is replaced.
    if (const int probe = ConnectTo(socketPath); probe >= 0) {
        close(probe);
        return false;
    }
    unlink(socketPath.c_str());
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    if (listenFd_ < 0 || stopFd_ < 0 || bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || listen(listenFd_, 4) != 0) {
        Stop();
        return false;
    }
    path_ = socketPath;
    stopping_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void SimulatedKeyboardControl::Stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        const std::uint64_t one = 1;
        const bool woken = write(stopFd_, &one, sizeof one) == sizeof one;
        static_cast<void>(woken); // the poll timeout ends the loop otherwise
        thread_.join();
    }
    if (listenFd_ >= 0)
        close(listenFd_);
    if (stopFd_ >= 0)
        close(stopFd_);
    listenFd_ = stopFd_ = -1;
    if (!path_.empty())
        unlink(path_.c_str());
    path_.clear();
}

void SimulatedKeyboardControl::Serve()
{
    while (!stopping_) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (poll(fds, 2, 500) <= 0 || (fds[1].revents & POLLIN) || !(fds[0].revents & POLLIN))
            continue;
        const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        const std::string command = ReadSome(client, kMaxCommand, true);
        const std::string reply = commands_.Run(command.substr(0, command.find('\n')));
        const bool sent = WriteAll(client, reply);
        static_cast<void>(sent); // a client that went away gets no reply
        close(client);
    }
}

bool SendSimulatorCommand(const std::string& socketPath, std::string_view command, std::string& reply)
{
    const int fd = ConnectTo(socketPath);
    if (fd < 0)
        return false;
    const bool sent = WriteAll(fd, std::string(command) + "\n");
    if (sent)
        shutdown(fd, SHUT_WR);
    reply = sent ? ReadSome(fd, 64 * 1024, false) : std::string{};
    close(fd);
    return sent && !reply.empty();
}

} // namespace platform
