#include "platform/ProcessSignals.h"

#include <array>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

struct Slot {
    std::atomic<EmergencyAction> action{nullptr};
    std::atomic<void*> context{nullptr};
};
std::array<Slot, 16> g_slots;
std::mutex g_slotMutex;

void OnFatalSignal(int sig)
{
    for (auto& slot : g_slots)
        if (const EmergencyAction action = slot.action.load())
            action(slot.context.load());
    // SA_RESETHAND restored the default action: raising again ends the process as the signal would.
    raise(sig);
}

int g_termPipe[2] = {-1, -1};
std::mutex g_termMutex;
std::function<void(int)> g_onTerminate;

void OnTerminationSignal(int sig)
{
    const unsigned char byte = static_cast<unsigned char>(sig);
    if (write(g_termPipe[1], &byte, 1) != 1) {
        // A termination is already under way.
    }
}

void TerminationWatcher()
{
    unsigned char sig = 0;
    while (read(g_termPipe[0], &sig, 1) != 1) {
    }
    std::function<void(int)> action;
    {
        std::lock_guard lock(g_termMutex);
        action = g_onTerminate;
    }
    if (action)
        action(sig);
    signal(sig, SIG_DFL);
    raise(sig);
}

} // namespace

bool AddEmergencyAction(EmergencyAction action, void* context)
{
    std::lock_guard lock(g_slotMutex);
    for (auto& slot : g_slots) {
        if (slot.action.load() == nullptr) {
            slot.context = context;
            slot.action = action;
            return true;
        }
    }
    return false;
}

void RemoveEmergencyAction(EmergencyAction action, void* context)
{
    std::lock_guard lock(g_slotMutex);
    for (auto& slot : g_slots) {
        if (slot.action.load() == action && slot.context.load() == context) {
            slot.action = nullptr;
            slot.context = nullptr;
        }
    }
}

void InstallFatalSignalHandlers()
{
    struct sigaction sa {};
    sa.sa_handler = OnFatalSignal;
    sa.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP})
        sigaction(sig, &sa, nullptr);
}

void InstallTerminationHandler(std::function<void(int)> onTerminate)
{
    std::lock_guard lock(g_termMutex);
    g_onTerminate = std::move(onTerminate);
    if (g_termPipe[0] >= 0)
        return;
    if (pipe2(g_termPipe, O_CLOEXEC) != 0)
        return;
    fcntl(g_termPipe[1], F_SETFL, O_NONBLOCK);  // the handler never blocks
    std::thread(TerminationWatcher).detach();
    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

} // namespace platform
