#include "platform/Shell.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

class SpawnAttributes {
public:
    SpawnAttributes() { m_ok = posix_spawnattr_init(&m_attr) == 0; }
    ~SpawnAttributes()
    {
        if (m_ok)
            posix_spawnattr_destroy(&m_attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    // A new session, so the child outlives us and our terminal; signals as a fresh
    // program expects them, whatever this process blocks or ignores.
    bool Prepare()
    {
        if (!m_ok)
            return false;
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        return posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0
            && posix_spawnattr_setsigmask(&m_attr, &none) == 0
            && posix_spawnattr_setsigdefault(&m_attr, &all) == 0;
    }
    const posix_spawnattr_t* Get() const { return &m_attr; }

private:
    posix_spawnattr_t m_attr {};
    bool m_ok = false;
};

bool StartDetached(const std::string& program, const std::vector<std::string>& args)
{
    const pid_t pid = StartProcess(program, args);
    if (pid < 0)
        return false;
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

} // namespace

pid_t StartProcess(const std::string& program, const std::vector<std::string>& args)
{
    if (program.empty() || program.find('\0') != std::string::npos)
        return -1;
    SpawnAttributes attr;
    if (!attr.Prepare())
        return -1;
    std::vector<std::string> argvText;
    argvText.reserve(args.size() + 1);
    argvText.push_back(program);
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    // glibc's posix_spawn reports a failed exec (missing file, no permission) as its result.
    const bool searchPath = program.find('/') == std::string::npos;
    const int rc = searchPath ? posix_spawnp(&pid, program.c_str(), nullptr, attr.Get(), argv.data(), environ)
                              : posix_spawn(&pid, program.c_str(), nullptr, attr.Get(), argv.data(), environ);
    return rc == 0 ? pid : -1;
}

bool SystemShell::Open(const std::wstring& target)
{
    // A leading dash would be read as an option of the handler.
    if (target.empty() || target[0] == L'-')
        return false;
    return StartDetached("xdg-open", { ToUtf8(target) });
}

bool SystemShell::Start(const std::wstring& program, const std::vector<std::wstring>& args)
{
    std::vector<std::string> utf8;
    for (const std::wstring& a : args)
        utf8.push_back(ToUtf8(a));
    std::string path = ToUtf8(program);
    // A bare name would be looked up along PATH; Start runs only the file named.
    if (path.find('/') == std::string::npos)
        path = "./" + path;
    return StartDetached(path, utf8);
}

Shell& GetSystemShell()
{
    static SystemShell shell;
    return shell;
}

} // namespace platform
