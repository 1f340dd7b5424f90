#pragma once
#include <string>
#include <string_view>

// One running instance per name: an exclusive flock on "<name>.lock" in the instance folder.
// The lock is held until the guard is destroyed or the process ends, whichever is first;
// the file is opened close-on-exec so programs started by the instance do not inherit it.
namespace platform {

// Folder of instance locks and channels: $XDG_RUNTIME_DIR, or when it is not set a private
// folder "/tmp/keystead-<uid>" (mode 0700, owned by the user, not a link). Empty when no
// usable folder can be had.
std::string InstanceFolder();

class InstanceGuard {
public:
    enum class State {
        Owner,        // this process is the instance
        OtherRunning, // another process holds the lock
        Unavailable,  // no lock could be taken (no folder, no file): run without one
    };

    explicit InstanceGuard(std::string_view name);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    State GetState() const { return m_state; }
    const std::string& LockPath() const { return m_lockPath; }
    // Path of the instance channel's socket beside the lock (empty when there is no folder).
    const std::string& ChannelPath() const { return m_channelPath; }

    // Both paths for a name, without taking the lock.
    static std::string LockPathFor(std::string_view name);
    static std::string ChannelPathFor(std::string_view name);

private:
    State m_state = State::Unavailable;
    int m_fd = -1;
    std::string m_lockPath;
    std::string m_channelPath;
};

} // namespace platform
