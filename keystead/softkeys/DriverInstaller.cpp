#include "softkeys/DriverInstaller.h"

#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "softkeys/VHidev.h"

#include <cerrno>
#include <cstdio>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool IsFile(const std::wstring& path)
{
    struct stat st {};
    return stat(platform::ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::wstring HexId(uint16_t vendor, uint16_t product)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%04X:%04X", vendor, product);
    return text;
}

} // namespace

bool SystemProcessRunner::RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    if (program.empty())
        return false;
    std::vector<std::string> text{platform::ToUtf8(program)};
    for (const auto& a : arguments)
        text.push_back(platform::ToUtf8(a));
    std::vector<char*> argv;
    for (auto& t : text)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = text[0].find('/') == std::string::npos
                       ? posix_spawnp(&pid, text[0].c_str(), nullptr, nullptr, argv.data(), environ)
                       : posix_spawn(&pid, text[0].c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            break;
    return true;
}

DriverInstaller::DriverInstaller(VHidev& vhid, ProcessRunner& runner, std::wstring driverFolder,
                                 std::vector<platform::UsbId> keyboards, std::wstring installedRules)
    : vhid_(vhid), runner_(runner), folder_(std::move(driverFolder)), keyboards_(std::move(keyboards)),
      installedRules_(std::move(installedRules))
{
}

std::wstring DriverInstaller::DriverFolder()
{
    return GetModuleDirWithSlash() + L"driver";
}

bool DriverInstaller::RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    return runner_.RunAndWait(program, arguments);
}

bool DriverInstaller::RunScript(std::vector<std::wstring> arguments)
{
    const std::wstring script = folder_ + kScript;
    // A missing script fails here, as a missing tool would fail to start.
    if (!IsFile(script))
        return false;
    arguments.insert(arguments.begin(), script);
    if (geteuid() == 0)
        return RunAndWait(L"/bin/sh", arguments);
    arguments.insert(arguments.begin(), L"/bin/sh");
    return RunAndWait(L"pkexec", arguments);
}

bool DriverInstaller::RemoveVirtualDevice()
{
    // Only installed rules can be half-installed; asking for the password to remove nothing
    // would only be in the way.
    if (!IsFile(installedRules_))
        return true;
    return RunScript({L"remove"});
}

bool DriverInstaller::InstallDrivers()
{
    if (vhid_.ReopenVirtualDevice())
        return true;
    RemoveVirtualDevice();
    std::wstring package = folder_ + kFullPackage;
    if (!IsFile(package))
        package = folder_ + kVirtualDevicePackage;
    std::vector<std::wstring> arguments{L"install", package};
    for (const auto& id : keyboards_)
        arguments.push_back(HexId(id.vendor, id.product));
    if (!RunScript(arguments))
        return false;
    return vhid_.ReopenVirtualDevice();
}
