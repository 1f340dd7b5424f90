#pragma once
#include <csignal>

// SIGINT and SIGTERM turned into a readable descriptor, so a loop can end cleanly on them.
// Construct it on the main thread before other threads start: they inherit the blocked
// signals, and the signals then reach only this descriptor. Child processes inherit the
// blocked mask too: start them with a reset mask (posix_spawnattr_setsigmask).
namespace platform {

class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals(); // restores the previous signal mask
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Readable once SIGINT or SIGTERM is pending; -1 when it could not be set up.
    int Fd() const { return m_fd; }
    // Consumes one pending signal; true when there was one.
    bool Take();

private:
    int m_fd = -1;
    bool m_restoreMask = false;
    sigset_t m_oldMask {};
};

} // namespace platform
