#include "platform/TerminationSignals.h"
#include "shell/DeviceName.h"
#include "shell/StartupSequence.h"

int KeysteadMain()
{
    // Before any thread starts, so SIGINT and SIGTERM reach only the loop below.
    platform::TerminationSignals signals;
    StartupSequence startup(ProductConfigPath());
    if (const auto exitCode = startup.Run())
        return *exitCode;
    InstanceControl* instance = startup.Instance();
    return ServeUntilExit(instance->Messages(), signals);
}
