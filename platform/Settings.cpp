#include "platform/Settings.h"

#include "platform/AtomicFile.h"
#include "platform/PathName.h"
#include "platform/XdgDirs.h"

#include <mutex>

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
    return IsFolder(m_folder);
}

bool Settings::CreateFolder() const
{
    return CreateFolders(m_folder, 0700);
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
    if (!ReadSmallFile(FilePath(), kMaxFileSize, text))
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
    return ReplaceFileAtomically(m_folder, FilePath(), Serialize(values), 0600);
}

} // namespace platform
