#pragma once
#include <functional>

// Making sure the program leaves nothing behind however it ends.
namespace platform {

// An action for a fatal signal (a crash): it runs inside the signal handler, so it may only make
// async-signal-safe system calls.
using EmergencyAction = void (*)(void* context) noexcept;

// Registers an action (at most 16); false when there is no room. Actions run in registration order.
bool AddEmergencyAction(EmergencyAction action, void* context);
void RemoveEmergencyAction(EmergencyAction action, void* context);
// Runs the registered actions when SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT or SIGTRAP arrives,
// then lets the signal end the process as it would have.
void InstallFatalSignalHandlers();

// Runs onTerminate (with the signal number) on a thread of its own when SIGINT, SIGTERM or SIGHUP
// arrives; afterwards the signal ends the process with its usual status. Later calls replace the
// action.
void InstallTerminationHandler(std::function<void(int)> onTerminate);

} // namespace platform
