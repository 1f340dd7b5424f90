#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

// The instance channel: other processes of the same user post (message, wParam, lParam)
// records to the running instance through a Unix socket beside its lock. The socket file
// is owner-only and the listener accepts only peers of its own user id. Records of one
// connection arrive in the order sent; connections are served one after the other.
namespace platform {

struct ChannelMessage {
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    bool operator==(const ChannelMessage&) const = default;
};

// Wire form of one record: magic "KSTM", message, wParam, lParam; little endian, 24 bytes.
constexpr size_t kChannelRecordSize = 24;
void EncodeChannelMessage(const ChannelMessage& message, unsigned char (&record)[kChannelRecordSize]);
// False when the record does not carry the magic.
bool DecodeChannelMessage(const unsigned char (&record)[kChannelRecordSize], ChannelMessage& message);

class InstanceChannelListener {
public:
    using Deliver = std::function<void(const ChannelMessage&)>;

    // Binds the socket at `path`, replacing a stale one (the caller owns the instance lock),
    // and starts the listener thread, which calls `deliver` for each record in order.
    // Null when the socket cannot be set up.
    static std::unique_ptr<InstanceChannelListener> Start(const std::string& path, Deliver deliver);
    ~InstanceChannelListener(); // stops the thread and removes the socket file
    InstanceChannelListener(const InstanceChannelListener&) = delete;
    InstanceChannelListener& operator=(const InstanceChannelListener&) = delete;

    const std::string& Path() const { return m_path; }

private:
    InstanceChannelListener(std::string path, int listenFd, int wakeFd, Deliver deliver);
    void Run();
    void Serve(int clientFd);

    std::string m_path;
    int m_listenFd;
    int m_wakeFd;
    unsigned long m_socketInode = 0;
    Deliver m_deliver;
    std::thread m_thread;
};

// Sends the records over one connection, in order. False when no instance listens at the
// path or the records could not all be written.
bool SendToInstance(const std::string& path, std::span<const ChannelMessage> messages);

} // namespace platform
