#include "shell/AppPaths.h"

#include "lumo/Manager.h"
#include "platform/PathName.h"
#include "platform/TextCodec.h"
#include "platform/XdgDirs.h"

#include <cerrno>
#include <sys/stat.h>

std::wstring GetModuleDir()
{
    return platform::FromUtf8(platform::ExecutableDir());
}

std::wstring GetModuleDirWithSlash()
{
    return GetModuleDir() + L"/";
}

std::wstring GetUserDataDir()
{
    // The device name comes from config.xml: it must stay one folder name.
    const std::string folder = platform::SafePathComponent(platform::ToUtf8(Lumo::Manager::GetDeviceName()) + " Files");
    return platform::FromUtf8(platform::XdgDataHome() + "/" + folder + "/");
}

bool CreateDirectoryPath(const std::wstring& path)
{
    const std::string p = platform::ToUtf8(path);
    if (p.empty())
        return false;
    struct stat st {};
    if (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    // Create every intermediate folder; failures are passed over, as existing folders are.
    for (size_t pos = p.find('/', 1); pos != std::string::npos; pos = p.find('/', pos + 1))
        mkdir(p.substr(0, pos).c_str(), 0755);
    if (mkdir(p.c_str(), 0755) == 0 || errno == EEXIST)
        return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return false;
}
