#include "shell/Autostart.h"

#include "lumo/Manager.h"
#include "platform/Autostart.h"
#include "platform/TextCodec.h"
#include "shell/AppPaths.h"

namespace {
platform::Autostart ProgramEntry()
{
    return platform::Autostart(platform::ToUtf8(Lumo::Manager::GetDeviceName()));
}
} // namespace

void SetAutostart(bool on)
{
    const platform::Autostart entry = ProgramEntry();
    const bool done = on ? entry.Enable(platform::ToUtf8(GetModuleDirWithSlash() + L"keystead")) : entry.Disable();
    (void)done; // the setting is best effort, as a switch the user can flip again
}

bool IsAutostartOn()
{
    return ProgramEntry().IsOn();
}
