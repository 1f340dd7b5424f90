#pragma once
#include "shell/InstanceControl.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class TerminationSignals;
}

// What happens before the main window runs, in this order: the device name from the product
// configuration, the single instance (a second start raises the first and ends with 0 without
// touching the settings), the language of the run and the database folder.
class StartupSequence {
public:
    explicit StartupSequence(std::wstring configPath);

    // Runs the steps. Empty to go on with the main window; otherwise the exit code.
    std::optional<int> Run();

    // The instance lock and channel, held for the life of the process; null before Run.
    InstanceControl* Instance() { return m_instance.get(); }

private:
    std::wstring m_configPath;
    std::unique_ptr<InstanceControl> m_instance;
};

// Serves the instance channel until the exit request arrives or SIGINT / SIGTERM is
// received; returns the exit code 0. Stands in for the main window until it exists.
int ServeUntilExit(platform::ChannelMessageQueue& messages, platform::TerminationSignals& signals);
