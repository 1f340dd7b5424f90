#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Starting other programs: documents and web addresses go to the desktop's default
// handler, programs are started directly as separate processes.
class Shell {
public:
    virtual ~Shell() = default;
    // Hands a file, folder or web address to the desktop's default handler (xdg-open).
    virtual bool Open(const std::wstring& target) = 0;
    // Starts an executable file by its path with the given arguments. True when the
    // program was started; it runs on in its own session, independent of this process.
    virtual bool Start(const std::wstring& program, const std::vector<std::wstring>& args = {}) = 0;
};

// The real thing. Started children are reaped in the background so none lingers.
class SystemShell final : public Shell {
public:
    bool Open(const std::wstring& target) override;
    bool Start(const std::wstring& program, const std::vector<std::wstring>& args = {}) override;
};

Shell& GetSystemShell();

// Starts a program in a new session with default signal handling and an empty signal
// mask. A program name without '/' is searched along PATH. Returns the child's pid, or
// -1 when the program could not be executed. The caller is responsible for reaping it.
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args);

} // namespace platform
