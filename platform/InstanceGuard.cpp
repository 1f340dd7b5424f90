#include "platform/InstanceGuard.h"

#include "platform/AtomicFile.h"
#include "platform/PathName.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {
// Room for a socket path, including the temporary suffix used while it is set up.
constexpr size_t kSocketPathRoom = sizeof(sockaddr_un::sun_path) - 16;

bool IsPrivateFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 0077) == 0;
}

std::string FileBase(std::string_view name)
{
    return SafePathComponent(name);
}

std::string HashName(std::string_view name)
{
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : name)
        hash = (hash ^ c) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
} // namespace

std::string InstanceFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return CreateFolders(runtime, 0700) ? std::string(runtime) : std::string();
    // /tmp is shared: use a folder of our own and refuse one that someone else prepared.
    const std::string folder = "/tmp/keystead-" + std::to_string(::geteuid());
    ::mkdir(folder.c_str(), 0700);
    return IsPrivateFolder(folder) ? folder : std::string();
}

std::string InstanceGuard::LockPathFor(std::string_view name)
{
    const std::string folder = InstanceFolder();
    return folder.empty() ? std::string() : folder + "/" + FileBase(name) + ".lock";
}

std::string InstanceGuard::ChannelPathFor(std::string_view name)
{
    const std::string folder = InstanceFolder();
    if (folder.empty())
        return {};
    std::string path = folder + "/" + FileBase(name) + ".socket";
    // Socket addresses are short; a long name is replaced by its hash.
    if (path.size() > kSocketPathRoom)
        path = folder + "/" + HashName(name) + ".socket";
    return path.size() > kSocketPathRoom ? std::string() : path;
}

InstanceGuard::InstanceGuard(std::string_view name)
    : m_lockPath(LockPathFor(name)), m_channelPath(ChannelPathFor(name))
{
    if (m_lockPath.empty())
        return;
    m_fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return;
    int result;
    do {
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_state = State::Owner;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::OtherRunning : State::Unavailable;
    ::close(m_fd);
    m_fd = -1;
}

InstanceGuard::~InstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock; the file stays for the next instance
}

} // namespace platform
