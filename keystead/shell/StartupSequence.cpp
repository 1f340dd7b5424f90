#include "shell/StartupSequence.h"

#include "lumo/Manager.h"
#include "platform/SystemLanguage.h"
#include "platform/TerminationSignals.h"
#include "shell/AppPaths.h"
#include "shell/DeviceName.h"
#include "shell/InstanceMessages.h"
#include "shell/StartupLanguage.h"

#include <cerrno>
#include <poll.h>

StartupSequence::StartupSequence(std::wstring configPath) : m_configPath(std::move(configPath)) {}

std::optional<int> StartupSequence::Run()
{
    LoadDeviceName(m_configPath);

    m_instance = std::make_unique<InstanceControl>(Lumo::Manager::GetDeviceName());
    if (m_instance->OtherInstanceRuns()) {
        m_instance->RaiseOtherInstance();
        return 0;
    }
    // Listening from here on keeps the raise requests of starts that come while we start.
    m_instance->Listen();

    ChooseStartupLanguage(platform::UserDefaultUiLanguage());
    CreateDirectoryPath(GetUserDataDir() + L"db");
    return std::nullopt;
}

int ServeUntilExit(platform::ChannelMessageQueue& messages, platform::TerminationSignals& signals)
{
    for (;;) {
        pollfd fds[2] = {{signals.Fd(), POLLIN, 0}, {messages.WaitFd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return 0;
        if (fds[0].revents && signals.Take())
            return 0;
        while (const auto message = messages.TryPop()) {
            // Raise, language and key-data requests need the main window; until it exists
            // only the exit request has an effect.
            if (InstanceMessages::IsExitRequest(*message))
                return 0;
        }
    }
}
