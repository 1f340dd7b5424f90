#include "device/SimulatedDevice.h"

#include <charconv>
#include <cstdlib>

#include "platform/TextCodec.h"

namespace keystead::device {
namespace {

bool ParseInt(std::string_view text, int& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

int InterfaceNumberOf(const std::string& pattern)
{
    const std::size_t at = pattern.find("MI_");
    int number = 0;
    if (at != std::string::npos && at + 5 <= pattern.size()) {
        const char* first = pattern.data() + at + 3;
        const auto [end, ec] = std::from_chars(first, first + 2, number, 16);
        if (ec == std::errc() && end == first + 2)
            return number;
    }
    return 2;
}

ConfiguredSimulationBackend*& ProcessBackend()
{
    static ConfiguredSimulationBackend* backend = nullptr; // owned by the process-wide link
    return backend;
}

std::unique_ptr<DeviceLink> MakeProcessLink()
{
    const std::optional<SimulationRequest> request = SimulationFromEnvironment();
    if (!request)
        return std::make_unique<DeviceLink>(platform::MakeHidapiBackend(), platform::SystemClock());
    auto backend = std::make_unique<ConfiguredSimulationBackend>(*request, platform::SystemClock());
    ConfiguredSimulationBackend* raw = backend.get();
    auto link = std::make_unique<DeviceLink>(std::move(backend), platform::SystemClock());
    raw->SetRegistrationSource([l = link.get()] { return l->RegisteredInterfaces(); });
    ProcessBackend() = raw;
    return link;
}

} // namespace

std::optional<SimulationRequest> ParseSimulationRequest(std::string_view device, std::string_view logFile)
{
    constexpr std::string_view kSimulated = "simulated";
    if (device.substr(0, kSimulated.size()) != kSimulated)
        return std::nullopt;
    SimulationRequest request;
    request.logFile = std::string(logFile);
    std::string_view rest = device.substr(kSimulated.size());
    if (rest.empty())
        return request;
    if (rest[0] != ':')
        return std::nullopt;
    rest.remove_prefix(1);
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos || !ParseInt(rest.substr(0, colon), request.deviceType)
        || !ParseInt(rest.substr(colon + 1), request.mode))
        return std::nullopt;
    return request;
}

std::optional<SimulationRequest> SimulationFromEnvironment()
{
    const char* device = std::getenv("KEYSTEAD_DEVICE");
    const char* log = std::getenv("KEYSTEAD_DEVICE_LOG");
    std::optional<SimulationRequest> request = ParseSimulationRequest(device ? device : "", log ? log : "");
    if (request)
        request->control = true;
    return request;
}

std::vector<platform::SimulatedInterface> SimulatedInterfacesFor(
    const std::vector<RegisteredInterface>& registered, int deviceType)
{
    std::vector<platform::SimulatedInterface> interfaces;
    const auto add = [&](const platform::SimulatedInterface& i) {
        for (const auto& existing : interfaces)
            if (existing.connection == i.connection && existing.Identity() == i.Identity())
                return;
        interfaces.push_back(i);
    };
    for (const RegisteredInterface& r : registered) {
        if (r.deviceType != deviceType)
            continue;
        const std::string pattern = platform::ToUtf8(r.interfacePattern);
        platform::SimulatedInterface vendor;
        vendor.connection = r.mode;
        vendor.vendorId = static_cast<std::uint16_t>(r.vendorId);
        vendor.productId = static_cast<std::uint16_t>(r.productId);
        vendor.productString = r.productName.empty() ? L"Keystead Simulated Keyboard" : r.productName;
        vendor.bus = pattern.find(platform::kBluetoothHidServiceGuid) != std::string::npos ? platform::HidBus::Bluetooth
                                                                                             : platform::HidBus::Usb;
        vendor.interfaceNumber = InterfaceNumberOf(pattern);
        add(vendor);
        if (vendor.bus == platform::HidBus::Bluetooth)
            continue;
        if (vendor.interfaceNumber != 0) {
            platform::SimulatedInterface boot = vendor;
            boot.interfaceNumber = 0;
            boot.usagePage = 0x0001;
            boot.usage = 0x0006;
            add(boot);
        }
        if (deviceType <= 200 && vendor.interfaceNumber != 3) {
            platform::SimulatedInterface stream = vendor;
            stream.interfaceNumber = 3;
            add(stream);
        }
    }
    return interfaces;
}

ConfiguredSimulationBackend::ConfiguredSimulationBackend(SimulationRequest request, platform::Clock& clock)
    : request_(std::move(request)), clock_(clock)
{
}

void ConfiguredSimulationBackend::SetRegistrationSource(RegistrationSource source)
{
    std::lock_guard lock(mutex_);
    source_ = std::move(source);
}

std::shared_ptr<platform::SimulatedKeyboard> ConfiguredSimulationBackend::Keyboard()
{
    std::lock_guard lock(mutex_);
    return keyboard_;
}

bool ConfiguredSimulationBackend::Available()
{
    return inner_.Available();
}

std::vector<platform::HidInterfaceInfo> ConfiguredSimulationBackend::Enumerate()
{
    {
        std::lock_guard lock(mutex_);
        if (!keyboard_ && source_) {
            keyboard_ = std::make_shared<platform::SimulatedKeyboard>(
                SimulatedInterfacesFor(source_(), request_.deviceType), clock_);
            if (!request_.logFile.empty())
                static_cast<void>(keyboard_->OpenLogFile(request_.logFile)); // a log that cannot open is no log
            keyboard_->Attach(request_.mode); // plugged in before the program looks
            inner_.AddKeyboard(keyboard_);
            if (request_.control) {
                control_ = std::make_unique<platform::SimulatedKeyboardControl>(keyboard_);
                static_cast<void>(control_->Start(platform::SimulatorControlPath())); // optional
            }
        }
    }
    return inner_.Enumerate();
}

std::unique_ptr<platform::HidDevice> ConfiguredSimulationBackend::Open(const std::string& path)
{
    return inner_.Open(path);
}

std::unique_ptr<platform::DeviceWatcher> ConfiguredSimulationBackend::MakeWatcher()
{
    return inner_.MakeWatcher();
}

DeviceLink& GetDeviceLink()
{
    static const std::unique_ptr<DeviceLink> link = MakeProcessLink();
    return *link;
}

std::shared_ptr<platform::SimulatedKeyboard> ProcessSimulatedKeyboard()
{
    GetDeviceLink();
    ConfiguredSimulationBackend* backend = ProcessBackend();
    return backend ? backend->Keyboard() : nullptr;
}

} // namespace keystead::device
