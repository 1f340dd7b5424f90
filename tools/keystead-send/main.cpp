// keystead-send: posts one message to the running Keystead of a device name.
//   keystead-send [--name DEVICE] --send MSG [WPARAM] [LPARAM]
// Exit codes: 0 delivered, 1 no running instance, 2 bad command line.
#include "SendCommand.h"

#include "lumo/Manager.h"
#include "platform/InstanceGuard.h"
#include "platform/TextCodec.h"
#include "shell/DeviceName.h"

#include <cstdio>

int main(int argc, char** argv)
{
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto command = ParseSendCommand(args);
    if (!command) {
        std::fprintf(stderr,
                     "usage: keystead-send [--name DEVICE] --send MSG [WPARAM] [LPARAM]\n"
                     "  numbers: decimal, 0x hexadecimal, WM_USER+N or WM_APP+N\n"
                     "  e.g. keystead-send --send WM_USER+667 0 610   (exit request)\n");
        return 2;
    }
    // The same device name as the program of this folder, unless one is given.
    std::wstring name = command->deviceName;
    if (name.empty())
        name = ReadDeviceName(ProductConfigPath());
    if (name.empty())
        name = Lumo::Manager::GetDeviceName();

    const std::string path = platform::InstanceGuard::ChannelPathFor(platform::ToUtf8(name));
    if (!platform::SendToInstance(path, {&command->message, 1})) {
        std::fprintf(stderr, "keystead-send: no running instance of \"%s\"\n", platform::ToUtf8(name).c_str());
        return 1;
    }
    return 0;
}
