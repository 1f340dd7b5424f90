#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "platform/SimulatedHid.h"
#include "platform/SimulatedKeyboardControl.h"

// The simulated keyboard as the program uses it without hardware: it presents the HID
// identities that the product configuration registers for one model.
namespace keystead::device {

struct SimulationRequest {
    int deviceType = 201;
    int mode = 0;
    std::string logFile; // empty: no log
    bool control = false; // serve plug, unplug and fault commands on the control socket
};

// KEYSTEAD_DEVICE=simulated or simulated:<device_type>:<mode>; KEYSTEAD_DEVICE_LOG=<file>.
// The program's simulated keyboard also takes commands on platform::SimulatorControlPath().
std::optional<SimulationRequest> SimulationFromEnvironment();
std::optional<SimulationRequest> ParseSimulationRequest(std::string_view device, std::string_view logFile);

// The interfaces a keyboard of this type shows for each registered connection mode: the
// vendor interface (its MI_NN taken from the registered pattern, else 02), a boot keyboard
// interface, and for types up to 200 the colour stream interface MI_03. Bluetooth patterns
// (the HID service GUID) give a Bluetooth interface.
std::vector<platform::SimulatedInterface> SimulatedInterfacesFor(
    const std::vector<RegisteredInterface>& registered, int deviceType);

// A simulated backend whose keyboard is made, on the first enumeration, from the
// registrations of the product configuration, with the requested mode plugged in.
class ConfiguredSimulationBackend : public platform::HidBackend {
public:
    using RegistrationSource = std::function<std::vector<RegisteredInterface>()>;

    ConfiguredSimulationBackend(SimulationRequest request, platform::Clock& clock);
    void SetRegistrationSource(RegistrationSource source);
    // Null until the first enumeration.
    std::shared_ptr<platform::SimulatedKeyboard> Keyboard();

    bool Available() override;
    std::vector<platform::HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<platform::HidDevice> Open(const std::string& path) override;
    std::unique_ptr<platform::DeviceWatcher> MakeWatcher() override;

private:
    SimulationRequest request_;
    platform::Clock& clock_;
    RegistrationSource source_;
    platform::SimulatedHidBackend inner_;
    std::shared_ptr<platform::SimulatedKeyboard> keyboard_;
    std::unique_ptr<platform::SimulatedKeyboardControl> control_;
    std::mutex mutex_;
};

// The process's simulated keyboard when KEYSTEAD_DEVICE asks for one (null otherwise, and
// until the first detection).
std::shared_ptr<platform::SimulatedKeyboard> ProcessSimulatedKeyboard();

} // namespace keystead::device
