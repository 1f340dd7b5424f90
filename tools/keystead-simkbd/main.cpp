// Sends one command to the simulated keyboard of a Keystead started with
// KEYSTEAD_DEVICE=simulated, and prints its reply.
#include <cstdio>
#include <string>

#include "platform/SimulatedKeyboardControl.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: keystead-simkbd plug <mode> | unplug [<mode>] | unplug-after <reports> |\n"
                   "       fail-writes <n> | fail-features <n> | fail-gets <n> | firmware <hex> | state\n",
            stderr);
        return 2;
    }
    std::string command = argv[1];
    for (int i = 2; i < argc; ++i)
        command += std::string(" ") + argv[i];
    std::string reply;
    if (!platform::SendSimulatorCommand(platform::SimulatorControlPath(), command, reply)) {
        std::fputs("no simulated keyboard answers\n", stderr);
        return 1;
    }
    std::fputs(reply.c_str(), stdout);
    return reply.rfind("error", 0) == 0 ? 2 : 0;
}
