#include "platform/XdgDirs.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>

namespace platform {
namespace {
std::string HomeDir()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

// XDG says relative values are invalid and must be ignored.
std::string FromEnv(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    if (value && value[0] == '/')
        return value;
    return fallback;
}
} // namespace

std::string XdgDataHome() { return FromEnv("XDG_DATA_HOME", HomeDir() + "/.local/share"); }
std::string XdgConfigHome() { return FromEnv("XDG_CONFIG_HOME", HomeDir() + "/.config"); }
std::string XdgRuntimeDir() { return FromEnv("XDG_RUNTIME_DIR", "/tmp"); }

std::string ExecutableDir()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return ".";
    return exe.parent_path().string();
}

} // namespace platform
