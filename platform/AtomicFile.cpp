#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool FlushFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
} // namespace

bool ReadSmallFile(const std::string& path, size_t limit, std::string& out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) <= limit;
    char buffer[4096];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || out.size() + static_cast<size_t>(n) > limit)
            ok = false;
        else if (n == 0)
            break;
        else
            out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (!ok)
        out.clear();
    return ok;
}

bool ReplaceFileAtomically(const std::string& folder, const std::string& target, std::string_view contents,
                           mode_t mode)
{
    // A unique temporary name per writer, so concurrent writers never share one.
    std::string temp = folder + "/.tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The new file is in place; a failed folder flush only leaves the rename less durable.
    const bool durable = FlushFolder(folder);
    (void)durable;
    return true;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolders(const std::string& folder, mode_t mode)
{
    if (folder.empty())
        return false;
    if (IsFolder(folder))
        return true;
    // Parents that exist already (or cannot be made) are passed over; the last step decides.
    for (size_t pos = folder.find('/', 1); pos != std::string::npos; pos = folder.find('/', pos + 1))
        ::mkdir(folder.substr(0, pos).c_str(), mode);
    ::mkdir(folder.c_str(), mode);
    return IsFolder(folder);
}

} // namespace platform
