#include "update/Unzip.h"

#include "platform/TextCodec.h"
#include "shell/AppPaths.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <vector>

namespace {

constexpr size_t kMaxNameBytes = 4096;
constexpr unsigned kHostUnix = 3;
constexpr unsigned kHostMacOsX = 19;
constexpr uint16_t kFlagEncrypted = 1;

struct UnzCloser {
    void operator()(void* file) const { unzClose(file); }
};
using ArchiveHandle = std::unique_ptr<void, UnzCloser>;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int Get() const { return m_fd; }
    // Closes and reports whether the data reached the file system.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && close(fd) == 0;
    }

private:
    int m_fd;
};

// One entry as checked before unpacking.
struct EntryPlan {
    std::vector<std::string> parts;  // path components below the target folder
    bool isFolder = false;
    bool executable = false;
    uint64_t size = 0;
};

// Splits an entry name into safe components; false for names that must be refused.
bool SplitEntryName(std::string name, EntryPlan& plan)
{
    if (name.empty() || name.find('\0') != std::string::npos)
        return false;
    if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':'))
        return false;
    for (char& c : name)
        if (c == '\\')
            c = '/';
    plan.isFolder = name.back() == '/';
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.size() > NAME_MAX)
            return false;
        plan.parts.push_back(part);
    }
    return !plan.parts.empty();
}

std::string JoinParts(const std::vector<std::string>& parts)
{
    std::string joined;
    for (const std::string& p : parts)
        joined += (joined.empty() ? "" : "/") + p;
    return joined;
}

UnzipResult ReadCurrentEntry(void* zip, unz_file_info64& info, std::string& name)
{
    std::vector<char> buffer(kMaxNameBytes + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, buffer.data(), static_cast<uLong>(buffer.size()), nullptr, 0, nullptr, 0) != UNZ_OK)
        return UnzipResult::Corrupt;
    if (info.size_filename > kMaxNameBytes)
        return UnzipResult::RefusedEntry;
    name.assign(buffer.data(), info.size_filename);
    return UnzipResult::Done;
}

UnzipResult PlanEntry(const unz_file_info64& info, const std::string& name, EntryPlan& plan)
{
    if (!SplitEntryName(name, plan))
        return UnzipResult::RefusedEntry;
    const unsigned host = static_cast<unsigned>(info.version >> 8) & 0xFF;
    if (host == kHostUnix || host == kHostMacOsX) {
        const mode_t mode = static_cast<mode_t>(info.external_fa >> 16);
        const mode_t type = mode & S_IFMT;
        if (type == S_IFDIR)
            plan.isFolder = true;
        else if (type != 0 && type != S_IFREG)
            return UnzipResult::RefusedEntry;  // links, devices, pipes
        plan.executable = (mode & S_IXUSR) != 0;
    }
    if (plan.isFolder)
        return info.uncompressed_size == 0 ? UnzipResult::Done : UnzipResult::Corrupt;
    if ((info.flag & kFlagEncrypted) != 0 || (info.compression_method != 0 && info.compression_method != Z_DEFLATED))
        return UnzipResult::Corrupt;
    plan.size = info.uncompressed_size;
    return UnzipResult::Done;
}

// Reads the central directory and checks every entry and the totals.
UnzipResult PlanArchive(void* zip, const UnzipLimits& limits, std::vector<EntryPlan>& plans)
{
    std::set<std::string> names;
    uint64_t total = 0;
    int rc = unzGoToFirstFile(zip);
    for (; rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        if (plans.size() >= limits.maxEntries)
            return UnzipResult::TooLarge;
        unz_file_info64 info {};
        std::string name;
        EntryPlan plan;
        if (UnzipResult r = ReadCurrentEntry(zip, info, name); r != UnzipResult::Done)
            return r;
        if (UnzipResult r = PlanEntry(info, name, plan); r != UnzipResult::Done)
            return r;
        if (!names.insert(JoinParts(plan.parts)).second)
            return UnzipResult::RefusedEntry;
        if (plan.size > limits.maxTotalBytes - total)
            return UnzipResult::TooLarge;
        total += plan.size;
        plans.push_back(std::move(plan));
    }
    return rc == UNZ_END_OF_LIST_OF_FILE ? UnzipResult::Done : UnzipResult::Corrupt;
}

// Writes the planned entries below one folder, never through a symbolic link.
class Extractor {
public:
    Extractor(void* zip, std::string base, const UnzipLimits& limits)
        : m_zip(zip), m_base(std::move(base)), m_limits(limits)
    {
    }

    UnzipResult Run(const std::vector<EntryPlan>& plans)
    {
        Fd root(open(m_base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (root.Get() < 0)
            return UnzipResult::WriteFailed;
        int rc = unzGoToFirstFile(m_zip);
        for (const EntryPlan& plan : plans) {
            if (rc != UNZ_OK)
                return Fail(UnzipResult::Corrupt);
            if (UnzipResult r = Extract(root.Get(), plan); r != UnzipResult::Done)
                return Fail(r);
            rc = unzGoToNextFile(m_zip);
        }
        return UnzipResult::Done;
    }

private:
    // Opens (creating when missing) the folder of the first `count` components.
    Fd OpenFolder(int root, const std::vector<std::string>& parts, size_t count)
    {
        Fd dir(dup(root));
        std::string path = m_base;
        for (size_t i = 0; i < count && dir.Get() >= 0; ++i) {
            path += "/" + parts[i];
            if (mkdirat(dir.Get(), parts[i].c_str(), 0755) == 0)
                m_createdFolders.push_back(path);
            else if (errno != EEXIST)
                return Fd();
            dir = Fd(openat(dir.Get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }
        return dir;
    }

    UnzipResult Extract(int root, const EntryPlan& plan)
    {
        if (plan.isFolder)
            return OpenFolder(root, plan.parts, plan.parts.size()).Get() >= 0 ? UnzipResult::Done : UnzipResult::WriteFailed;
        Fd folder = OpenFolder(root, plan.parts, plan.parts.size() - 1);
        if (folder.Get() < 0)
            return UnzipResult::WriteFailed;
        const std::string& leaf = plan.parts.back();
        const mode_t mode = plan.executable ? 0755 : 0644;
        Fd file(openat(folder.Get(), leaf.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode));
        if (file.Get() < 0)
            return UnzipResult::WriteFailed;
        m_createdFiles.push_back(m_base + "/" + JoinParts(plan.parts));
        if (fchmod(file.Get(), mode) != 0)
            return UnzipResult::WriteFailed;
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            return UnzipResult::Corrupt;
        const UnzipResult copied = Copy(file.Get(), plan.size);
        const int closed = unzCloseCurrentFile(m_zip);
        if (copied != UnzipResult::Done)
            return copied;
        if (closed != UNZ_OK)
            return UnzipResult::Corrupt;  // CRC mismatch
        return file.Close() ? UnzipResult::Done : UnzipResult::WriteFailed;
    }

    UnzipResult Copy(int fd, uint64_t declared)
    {
        std::vector<char> buffer(64 * 1024);
        uint64_t entryBytes = 0;
        for (;;) {
            const int n = unzReadCurrentFile(m_zip, buffer.data(), static_cast<unsigned>(buffer.size()));
            if (n < 0)
                return UnzipResult::Corrupt;
            if (n == 0)
                break;
            const auto count = static_cast<uint64_t>(n);
            m_inflated += count;
            entryBytes += count;
            if (m_inflated > m_limits.maxTotalBytes)
                return UnzipResult::TooLarge;
            if (entryBytes > declared)
                return UnzipResult::Corrupt;
            const char* data = buffer.data();
            size_t left = static_cast<size_t>(n);
            while (left > 0) {
                const ssize_t written = write(fd, data, left);
                if (written < 0 && errno == EINTR)
                    continue;
                if (written <= 0)
                    return UnzipResult::WriteFailed;
                data += written;
                left -= static_cast<size_t>(written);
            }
        }
        // A stream that ends early is never CRC-checked by the reader; its length tells.
        return entryBytes == declared ? UnzipResult::Done : UnzipResult::Corrupt;
    }

    UnzipResult Fail(UnzipResult result)
    {
        for (const std::string& file : m_createdFiles)
            unlink(file.c_str());
        for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it)
            rmdir(it->c_str());
        return result;
    }

    void* m_zip;
    std::string m_base;
    const UnzipLimits& m_limits;
    uint64_t m_inflated = 0;
    std::vector<std::string> m_createdFiles;
    std::vector<std::string> m_createdFolders;
};

} // namespace

UnzipResult Unzip(const std::wstring& archive, const std::wstring& folder, const UnzipLimits& limits)
{
    ArchiveHandle zip(unzOpen64(platform::ToUtf8(archive).c_str()));
    if (!zip)
        return UnzipResult::CannotOpen;
    std::vector<EntryPlan> plans;
    if (UnzipResult r = PlanArchive(zip.get(), limits, plans); r != UnzipResult::Done)
        return r;
    if (!CreateDirectoryPath(folder))
        return UnzipResult::WriteFailed;
    std::string base = platform::ToUtf8(folder);
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return Extractor(zip.get(), base, limits).Run(plans);
}
