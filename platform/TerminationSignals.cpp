#include "platform/TerminationSignals.h"

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace platform {

TerminationSignals::TerminationSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (::pthread_sigmask(SIG_BLOCK, &signals, &m_oldMask) != 0)
        return;
    m_restoreMask = true;
    m_fd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

TerminationSignals::~TerminationSignals()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_restoreMask)
        ::pthread_sigmask(SIG_SETMASK, &m_oldMask, nullptr);
}

bool TerminationSignals::Take()
{
    signalfd_siginfo info;
    return m_fd >= 0 && ::read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
}

} // namespace platform
