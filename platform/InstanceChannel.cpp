#include "platform/InstanceChannel.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {
constexpr std::uint32_t kMagic = 0x4D54534B; // "KSTM" in file order
// A peer that stops in the middle of a record is dropped after this long.
constexpr int kRecordTimeoutMs = 2000;

void Put(unsigned char* out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t Get(const unsigned char* in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return value;
}

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

unsigned long InodeOf(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) ? static_cast<unsigned long>(st.st_ino) : 0;
}

bool SameUser(int fd)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}
} // namespace

void EncodeChannelMessage(const ChannelMessage& message, unsigned char (&record)[kChannelRecordSize])
{
    Put(record, kMagic, 4);
    Put(record + 4, message.message, 4);
    Put(record + 8, message.wParam, 8);
    Put(record + 16, static_cast<std::uint64_t>(message.lParam), 8);
}

bool DecodeChannelMessage(const unsigned char (&record)[kChannelRecordSize], ChannelMessage& message)
{
    if (Get(record, 4) != kMagic)
        return false;
    message.message = static_cast<std::uint32_t>(Get(record + 4, 4));
    message.wParam = Get(record + 8, 8);
    message.lParam = static_cast<std::int64_t>(Get(record + 16, 8));
    return true;
}

std::unique_ptr<InstanceChannelListener> InstanceChannelListener::Start(const std::string& path, Deliver deliver)
{
    // Bound under a temporary name and renamed into place once listening, so a client that
    // finds the socket file can connect at once, and a stale file is replaced atomically.
    const std::string temp = path + "." + std::to_string(::getpid());
    sockaddr_un address;
    if (!deliver || !MakeAddress(temp, address))
        return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    ::unlink(temp.c_str());
    const bool ready = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                       ::chmod(temp.c_str(), 0600) == 0 && ::listen(fd, 16) == 0 &&
                       ::rename(temp.c_str(), path.c_str()) == 0;
    const int wakeFd = ready ? ::eventfd(0, EFD_CLOEXEC) : -1;
    if (wakeFd < 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<InstanceChannelListener> listener(
        new InstanceChannelListener(path, fd, wakeFd, std::move(deliver)));
    listener->m_socketInode = InodeOf(path);
    listener->m_thread = std::thread([raw = listener.get()] { raw->Run(); });
    return listener;
}

InstanceChannelListener::InstanceChannelListener(std::string path, int listenFd, int wakeFd, Deliver deliver)
    : m_path(std::move(path)), m_listenFd(listenFd), m_wakeFd(wakeFd), m_deliver(std::move(deliver))
{
}

InstanceChannelListener::~InstanceChannelListener()
{
    const std::uint64_t one = 1;
    // An eventfd write fails only when the counter is full, and then the thread is awake anyway.
    [[maybe_unused]] const ssize_t woken = ::write(m_wakeFd, &one, sizeof one);
    if (m_thread.joinable())
        m_thread.join();
    // Remove the socket file only if it is still ours.
    if (m_socketInode != 0 && InodeOf(m_path) == m_socketInode)
        ::unlink(m_path.c_str());
    ::close(m_listenFd);
    ::close(m_wakeFd);
}

void InstanceChannelListener::Run()
{
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        if (SameUser(client))
            Serve(client);
        ::close(client);
    }
}

void InstanceChannelListener::Serve(int client)
{
    unsigned char record[kChannelRecordSize];
    size_t filled = 0;
    for (;;) {
        pollfd fds[2] = {{client, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, kRecordTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || fds[1].revents)
            return;
        const ssize_t n = ::read(client, record + filled, sizeof record - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        filled += static_cast<size_t>(n);
        if (filled < sizeof record)
            continue;
        filled = 0;
        ChannelMessage message;
        if (!DecodeChannelMessage(record, message))
            return; // not one of ours: drop the connection
        m_deliver(message);
    }
}

bool SendToInstance(const std::string& path, std::span<const ChannelMessage> messages)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    for (const ChannelMessage& message : messages) {
        if (!ok)
            break;
        unsigned char record[kChannelRecordSize];
        EncodeChannelMessage(message, record);
        size_t sent = 0;
        while (ok && sent < sizeof record) {
            const ssize_t n = ::send(fd, record + sent, sizeof record - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            if (ok)
                sent += static_cast<size_t>(n);
        }
    }
    ::close(fd);
    return ok;
}

} // namespace platform
