#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/SimulatedKeyboard.h"

// Plugging, unplugging and faults of a running program's simulated keyboard, on demand: text
// commands over a Unix socket (tools/keystead-simkbd sends them). One command per connection,
// one reply.
namespace platform {

// Runs commands against a keyboard and returns the replies:
//   plug <mode> | unplug [<mode>] | unplug-after <reports> | fail-writes <n> |
//   fail-features <n> | fail-gets <n> | firmware <hex> | state
// It takes over the keyboard's fault hook to count down the failures asked for.
class SimulatorCommands {
public:
    explicit SimulatorCommands(std::shared_ptr<SimulatedKeyboard> keyboard);
    std::string Run(std::string_view command);

private:
    struct FaultCounters {
        std::atomic<int> writes{0};
        std::atomic<int> features{0};
        std::atomic<int> gets{0};
    };
    std::shared_ptr<SimulatedKeyboard> keyboard_;
    std::shared_ptr<FaultCounters> counters_;
};

// $KEYSTEAD_DEVICE_CONTROL, else $XDG_RUNTIME_DIR/keystead-keyboard.sock, else
// /tmp/keystead-keyboard-<uid>.sock.
std::string SimulatorControlPath();

class SimulatedKeyboardControl {
public:
    explicit SimulatedKeyboardControl(std::shared_ptr<SimulatedKeyboard> keyboard);
    ~SimulatedKeyboardControl();
    SimulatedKeyboardControl(const SimulatedKeyboardControl&) = delete;
    SimulatedKeyboardControl& operator=(const SimulatedKeyboardControl&) = delete;

    bool Start(const std::string& socketPath);
    void Stop();

private:
    void Serve();

    SimulatorCommands commands_;
    std::string path_;
    int listenFd_ = -1;
    int stopFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// Sends one command to a running program's simulated keyboard; false when none answers.
bool SendSimulatorCommand(const std::string& socketPath, std::string_view command, std::string& reply);

} // namespace platform
