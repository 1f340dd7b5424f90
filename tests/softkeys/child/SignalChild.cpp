// Holds a remapped key down through the simulated devices, then waits to be ended by a signal
// (or crashes on purpose), so a test can check what the devices received last.
//   softkeys_signal_child wait|segv|abort LOGFILE
#include "platform/ProcessSignals.h"
#include "platform/SimulatedFilterDevice.h"
#include "platform/SimulatedVirtualHidDevice.h"
#include "softkeys/HeadlessHost.h"
#include "softkeys/SoftKeyExecution.h"
#include "store/DataStore.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string mode = argv[1];
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);

    DataStore store;
    if (!store.OpenDatabaseFile(L":memory:"))
        return 3;
    KeyMacroData key;
    key.profile = 1;
    key.key_code = 0x3A;
    key.macro_type = 2;
    key.macro_value = 4;
    store.SaveKeyAssignment(key);

    VHidev vhid(std::make_unique<platform::SimulatedVirtualHidDevice>(argv[2]));
    auto filter = std::make_unique<platform::SimulatedFilterDevice>(argv[2]);
    platform::SimulatedFilterDevice* keys = filter.get();
    FilterMonitor monitor(std::move(filter));
    HeadlessSoftKeyHost host;
    HeadlessClipboard clipboard;
    HeadlessShell shell;
    SoftKeyExecution exec(vhid, monitor, store, host, clipboard, shell);

    platform::InstallFatalSignalHandlers();
    platform::InstallTerminationHandler([&](int) { exec.ShutDown(); });

    if (!vhid.ReopenVirtualDevice())
        return 4;
    monitor.AddProxy(&exec, &SoftKeyExecution::OnFilterKeyEvent);
    monitor.OpenFilter();
    exec.RefreshKeyTable();
    keys->PressPhysicalKey(0x3A, true);
    if (!keys->WaitUntilHandled())
        return 5;
    if (write(STDOUT_FILENO, "ready\n", 6) != 6)
        return 6;

    if (mode == "segv")
        raise(SIGSEGV);
    if (mode == "abort")
        std::abort();
    for (;;)
        pause();
}
