#include "platform/SimulatedHid.h"

#include <charconv>

namespace platform {
namespace {

constexpr std::string_view kPathPrefix = "sim:";

class SimulatedHidDevice : public HidDevice {
public:
    SimulatedHidDevice(std::shared_ptr<SimulatedKeyboard> keyboard, std::string identity)
        : keyboard_(std::move(keyboard)), identity_(std::move(identity))
    {
    }

    int SendFeatureReport(std::span<const std::uint8_t> data) override
    {
        return Result(keyboard_->SetFeature(identity_, data));
    }
    int GetFeatureReport(std::span<std::uint8_t> data) override
    {
        return Result(keyboard_->GetFeature(identity_, data));
    }
    int Write(std::span<const std::uint8_t> data) override { return Result(keyboard_->Write(identity_, data)); }
    std::size_t OutputReportLength() const override { return 65; }
    std::wstring LastError() const override { return lastError_; }
    bool IsGone() const override { return !keyboard_->IsPresent(identity_); }

private:
    int Result(int result)
    {
        if (result < 0)
            lastError_ = IsGone() ? L"No such device" : L"Input/output error";
        return result;
    }

    std::shared_ptr<SimulatedKeyboard> keyboard_;
    std::string identity_;
    std::wstring lastError_;
};

} // namespace

SimulatedHidBackend::~SimulatedHidBackend()
{
    for (std::size_t i = 0; i < keyboards_.size(); ++i)
        keyboards_[i]->RemoveListener(keyboardListeners_[i]);
}

void SimulatedHidBackend::AddKeyboard(std::shared_ptr<SimulatedKeyboard> keyboard)
{
    const int listener =
        keyboard->AddListener([this](bool arrival, const std::string& identity) { Dispatch(arrival, identity); });
    std::lock_guard lock(mutex_);
    keyboards_.push_back(std::move(keyboard));
    keyboardListeners_.push_back(listener);
}

std::vector<std::shared_ptr<SimulatedKeyboard>> SimulatedHidBackend::Keyboards() const
{
    std::lock_guard lock(mutex_);
    return keyboards_;
}

void SimulatedHidBackend::SetAvailable(bool available)
{
    std::lock_guard lock(mutex_);
    available_ = available;
}

bool SimulatedHidBackend::Available()
{
    std::lock_guard lock(mutex_);
    return available_;
}

std::vector<HidInterfaceInfo> SimulatedHidBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> result;
    if (!Available())
        return result;
    const auto keyboards = Keyboards();
    for (std::size_t k = 0; k < keyboards.size(); ++k) {
        for (const SimulatedInterface& i : keyboards[k]->PresentInterfaces()) {
            HidInterfaceInfo info;
            info.identity = i.Identity();
            info.path = std::string(kPathPrefix) + std::to_string(k) + "/" + info.identity;
            info.vendorId = i.vendorId;
            info.productId = i.productId;
            info.releaseNumber = 0x0100;
            info.usagePage = i.usagePage;
            info.usage = i.usage;
            info.interfaceNumber = i.bus == HidBus::Bluetooth ? -1 : i.interfaceNumber;
            info.bus = i.bus;
            info.productString = i.productString;
            result.push_back(std::move(info));
        }
    }
    return result;
}

std::unique_ptr<HidDevice> SimulatedHidBackend::Open(const std::string& path)
{
    if (!Available() || path.rfind(kPathPrefix, 0) != 0)
        return nullptr;
    const std::size_t slash = path.find('/');
    if (slash == std::string::npos)
        return nullptr;
    std::size_t index = 0;
    const char* first = path.data() + kPathPrefix.size();
    const auto [end, ec] = std::from_chars(first, path.data() + slash, index);
    if (ec != std::errc() || end != path.data() + slash)
        return nullptr;
    const auto keyboards = Keyboards();
    if (index >= keyboards.size())
        return nullptr;
    const std::string identity = path.substr(slash + 1);
    for (const SimulatedInterface& i : keyboards[index]->PresentInterfaces())
        if (i.Identity() == identity && i.openable)
            return std::make_unique<SimulatedHidDevice>(keyboards[index], identity);
    return nullptr;
}

namespace {

class SimulatedDeviceWatcher : public DeviceWatcher {
public:
    explicit SimulatedDeviceWatcher(SimulatedHidBackend& backend) : backend_(backend) {}
    ~SimulatedDeviceWatcher() override { Stop(); }

    bool Start(DeviceChangeHandler handler) override
    {
        Stop();
        subscription_ = backend_.Subscribe(std::move(handler));
        return true;
    }

    void Stop() override
    {
        if (subscription_)
            backend_.Unsubscribe(subscription_);
        subscription_ = 0;
    }

private:
    SimulatedHidBackend& backend_;
    int subscription_ = 0;
};

} // namespace

std::unique_ptr<DeviceWatcher> SimulatedHidBackend::MakeWatcher()
{
    return std::make_unique<SimulatedDeviceWatcher>(*this);
}

int SimulatedHidBackend::Subscribe(DeviceChangeHandler handler)
{
    std::lock_guard lock(mutex_);
    subscribers_[nextSubscriber_] = std::move(handler);
    return nextSubscriber_++;
}

void SimulatedHidBackend::Unsubscribe(int id)
{
    std::lock_guard lock(mutex_);
    subscribers_.erase(id);
}

void SimulatedHidBackend::Dispatch(bool arrival, const std::string& identity)
{
    std::vector<DeviceChangeHandler> handlers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, h] : subscribers_)
            handlers.push_back(h);
    }
    for (const DeviceChangeHandler& h : handlers)
        h(arrival ? DeviceChange::Arrival : DeviceChange::Removal, identity);
}

} // namespace platform
