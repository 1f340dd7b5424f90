#include "platform/Settings.h"

#include "platform/PathName.h"
#include "platform/XdgDirs.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
// One writer at a time inside the process; across processes each writer has its own
// temporary file and the last rename wins.
std::mutex g_writeLock;

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void AppendEscaped(std::string& out, std::string_view text, bool isName)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '=': out += isName ? "\\=" : "="; break;
        case '#': out += isName && i == 0 ? "\\#" : "#"; break; // not a comment line
        default: out += c;
        }
    }
}

std::string Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

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

bool ReadFile(const std::string& path, size_t limit, std::string& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) <= limit;
    out.clear();
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
    return ok;
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

Settings::Settings(std::string folder) : m_folder(std::move(folder)) {}

std::string Settings::FolderFor(std::string_view applicationName)
{
    return XdgConfigHome() + "/" + SafePathComponent(applicationName);
}

std::string Settings::FilePath() const
{
    return m_folder + "/settings.ini";
}

bool Settings::FolderExists() const
{
    struct stat st {};
    return ::stat(m_folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Settings::CreateFolder() const
{
    if (FolderExists())
        return true;
    for (size_t pos = m_folder.find('/', 1); pos != std::string::npos; pos = m_folder.find('/', pos + 1))
        ::mkdir(m_folder.substr(0, pos).c_str(), 0700);
    ::mkdir(m_folder.c_str(), 0700);
    return FolderExists();
}

std::string Settings::Serialize(const Values& values)
{
    std::string out;
    for (const auto& [name, value] : values) {
        AppendEscaped(out, name, true);
        out += '=';
        AppendEscaped(out, value, false);
        out += '\n';
    }
    return out;
}

Settings::Values Settings::Parse(std::string_view text)
{
    Values values;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        // The first '=' that is not escaped ends the name.
        size_t eq = 0;
        for (; eq < line.size() && line[eq] != '='; ++eq)
            if (line[eq] == '\\')
                ++eq;
        if (eq >= line.size())
            continue;
        values.emplace_back(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
    }
    return values;
}

Settings::Values Settings::ReadAll() const
{
    std::string text;
    if (!ReadFile(FilePath(), kMaxFileSize, text))
        return {};
    return Parse(text);
}

std::optional<std::string> Settings::Read(std::string_view name) const
{
    for (auto& [n, v] : ReadAll())
        if (SameName(n, name))
            return std::move(v);
    return std::nullopt;
}

bool Settings::Write(std::string_view name, std::string_view value) const
{
    std::lock_guard lock(g_writeLock);
    if (!FolderExists())
        return false;
    Values values = ReadAll();
    bool replaced = false;
    for (auto it = values.begin(); it != values.end();) {
        if (!SameName(it->first, name)) {
            ++it;
        } else if (!replaced) {
            it->second = value;
            replaced = true;
            ++it;
        } else {
            it = values.erase(it); // a duplicate would shadow nothing but confuse readers
        }
    }
    if (!replaced)
        values.emplace_back(name, value);
    return Replace(values);
}

bool Settings::Replace(const Values& values) const
{
    const std::string target = FilePath();
    std::string temp = m_folder + "/.settings.ini.XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, Serialize(values)) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    FlushFolder(m_folder); // the rename is done; a failed folder flush only weakens durability
    return true;
}

} // namespace platform
