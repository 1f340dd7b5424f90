#include "platform/Autostart.h"

#include "platform/AtomicFile.h"
#include "platform/PathName.h"
#include "platform/XdgDirs.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
std::string AutostartFolder()
{
    return XdgConfigHome() + "/autostart";
}

// A desktop-entry string value: backslash, line breaks and tabs escaped.
std::string EscapeValue(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

// The program as one quoted argument of an Exec line: inside double quotes, '"', '`',
// '$' and '\' take a backslash; '%' is doubled since it introduces field codes.
std::string QuoteExecArgument(std::string_view program)
{
    std::string out = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        if (c == '%')
            out += '%';
        out += c;
    }
    out += '"';
    return out;
}
} // namespace

Autostart::Autostart(std::string_view applicationName) : m_name(SafePathComponent(applicationName)) {}

std::string Autostart::EntryPath() const
{
    return AutostartFolder() + "/" + m_name + ".desktop";
}

bool Autostart::IsOn() const
{
    struct stat st {};
    return ::stat(EntryPath().c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Autostart::EntryText(const std::string& program) const
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + EscapeValue(m_name) + "\n"
           "Exec=" + EscapeValue(QuoteExecArgument(program)) + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool Autostart::Enable(const std::string& program) const
{
    const std::string folder = AutostartFolder();
    if (!CreateFolders(folder, 0755))
        return false;
    return ReplaceFileAtomically(folder, EntryPath(), EntryText(program), 0644);
}

bool Autostart::Disable() const
{
    return ::unlink(EntryPath().c_str()) == 0 || errno == ENOENT;
}

} // namespace platform
