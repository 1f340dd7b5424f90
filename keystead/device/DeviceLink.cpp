#include "device/DeviceLink.h"

#include "device/FeatureCommands.h"

#include <algorithm>
#include <cctype>

namespace keystead::device {
namespace {

constexpr int kFeaturePauseMs = 16;
constexpr int kWriteRetryMs = 10;
constexpr int kFramedRetryMs = 32;

// The part of a reply buffer that a get filled; a backend never gets to claim more.
std::span<const std::uint8_t> Received(const FeatureReport& reply, int got)
{
    return std::span(reply).first(std::min<std::size_t>(reply.size(), got > 0 ? static_cast<std::size_t>(got) : 0));
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

DeviceLink::DeviceLink(std::unique_ptr<platform::HidBackend> backend, platform::Clock& clock)
    : backend_(std::move(backend)), clock_(clock)
{
}

DeviceLink::~DeviceLink()
{
    CloseAll();
}

void DeviceLink::RegisterInterface(int vendorId, int productId, std::wstring productName, int deviceType, int mode,
    std::wstring interfacePattern)
{
    std::lock_guard lock(mutex_);
    registered_.push_back(
        {vendorId, productId, std::move(productName), deviceType, mode, std::move(interfacePattern)});
}

void DeviceLink::RegisterIdentity(int vendorId, int productId, const std::wstring& productName, int deviceType,
    int mode, const std::wstring& hidInterface)
{
    RegisterInterface(vendorId, productId, productName, deviceType, mode, hidInterface);
}

std::vector<RegisteredInterface> DeviceLink::RegisteredInterfaces() const
{
    std::lock_guard lock(mutex_);
    return registered_;
}

void DeviceLink::Enumerate()
{
    const bool available = backend_->Available();
    const std::vector<platform::HidInterfaceInfo> devices =
        available ? backend_->Enumerate() : std::vector<platform::HidInterfaceInfo>{};
    std::lock_guard lock(mutex_);
    open_ = true;
    for (const platform::HidInterfaceInfo& d : devices) {
        const bool wanted = std::any_of(registered_.begin(), registered_.end(), [&](const RegisteredInterface& r) {
            return r.vendorId == d.vendorId && r.productId == d.productId
                && (r.productName.empty() || r.productName == d.productString);
        });
        if (!wanted)
            continue;
        std::unique_ptr<platform::HidDevice> handle = backend_->Open(d.path);
        if (!handle)
            continue;
        if (d.usagePage != kVendorUsagePage || d.usage != kVendorUsage)
            continue; // not the configuration interface: closed again
        CandidateInfo info;
        info.index = static_cast<int>(candidates_.size());
        info.vendorId = d.vendorId;
        info.productId = d.productId;
        info.path = d.path;
        info.identity = Upper(d.identity);
        info.productString = d.productString;
        info.releaseNumber = d.releaseNumber;
        const auto reg = std::find_if(registered_.begin(), registered_.end(), [&](const RegisteredInterface& r) {
            return r.vendorId == d.vendorId && r.productId == d.productId;
        });
        if (reg != registered_.end()) {
            info.deviceType = reg->deviceType;
            info.mode = reg->mode;
        }
        info.preferred = info.mode == 0;
        if (info.identity.find(kStreamInterfaceMark) != std::string::npos)
            stream_ = Candidate{std::move(info), std::move(handle)};
        else
            candidates_.push_back(Candidate{std::move(info), std::move(handle)});
    }
}

void DeviceLink::CloseAll()
{
    std::lock_guard lock(mutex_);
    if (!open_)
        return;
    open_ = false;
    candidates_.clear();
    stream_.reset();
    activeIndex_ = -1;
}

bool DeviceLink::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

bool DeviceLink::OfSelectedType(const Candidate& c) const
{
    return selectedType_ == 0 || c.info.deviceType == selectedType_;
}

bool DeviceLink::GetCandidates(std::vector<CandidateInfo>& out) const
{
    std::lock_guard lock(mutex_);
    out.clear();
    if (candidates_.empty())
        return false;
    for (const Candidate& c : candidates_)
        if (OfSelectedType(c))
            out.push_back(c.info);
    return true;
}

int DeviceLink::FindCandidate(int vendorId, int productId, std::wstring_view productName, int mode) const
{
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const CandidateInfo& c = candidates_[i].info;
        if (c.vendorId == vendorId && c.productId == productId && c.mode == mode
            && (productName.empty() || c.productString == productName))
            return static_cast<int>(i);
    }
    return -1;
}

int DeviceLink::ConnectionMode() const
{
    std::lock_guard lock(mutex_);
    bool has[3] = {false, false, false};
    for (const Candidate& c : candidates_)
        if (OfSelectedType(c) && c.info.mode >= 0 && c.info.mode <= 2)
            has[c.info.mode] = true;
    return has[0] ? 0 : has[2] ? 2 : has[1] ? 1 : -1;
}

DeviceLink::Candidate* DeviceLink::ActiveLocked()
{
    if (activeIndex_ >= 0 && activeIndex_ < static_cast<int>(candidates_.size()))
        return &candidates_[activeIndex_];
    for (int mode : {0, 1, 2}) {
        for (std::size_t i = 0; i < candidates_.size(); ++i) {
            if (OfSelectedType(candidates_[i]) && candidates_[i].info.mode == mode) {
                activeIndex_ = static_cast<int>(i);
                return &candidates_[i];
            }
        }
    }
    return nullptr;
}

std::optional<CandidateInfo> DeviceLink::ActiveInterface()
{
    std::lock_guard lock(mutex_);
    const Candidate* c = ActiveLocked();
    return c ? std::optional<CandidateInfo>(c->info) : std::nullopt;
}

std::optional<CandidateInfo> DeviceLink::StreamInterface() const
{
    std::lock_guard lock(mutex_);
    return stream_ ? std::optional<CandidateInfo>(stream_->info) : std::nullopt;
}

void DeviceLink::SelectDeviceType(int deviceType)
{
    std::lock_guard lock(mutex_);
    selectedType_ = deviceType;
    activeIndex_ = -1;
}

int DeviceLink::SelectedDeviceType() const
{
    std::lock_guard lock(mutex_);
    return selectedType_;
}

void DeviceLink::RecordError(const platform::HidDevice& device)
{
    lastError_ = device.LastError();
}

template <typename Call>
int DeviceLink::OnActive(Call call)
{
    std::lock_guard lock(mutex_);
    Candidate* c = open_ ? ActiveLocked() : nullptr;
    if (!c || c->handle->IsGone())
        return -1;
    const int result = call(*c->handle);
    if (result < 0)
        RecordError(*c->handle);
    return result;
}

template <typename Call>
int DeviceLink::OnStream(Call call)
{
    std::lock_guard lock(mutex_);
    if (!open_ || !stream_ || stream_->handle->IsGone())
        return -1;
    const int result = call(*stream_->handle);
    if (result < 0)
        RecordError(*stream_->handle);
    return result;
}

bool DeviceLink::IsUsable()
{
    std::lock_guard lock(mutex_);
    Candidate* c = open_ ? ActiveLocked() : nullptr;
    return c && !c->handle->IsGone();
}

std::wstring DeviceLink::LastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

bool DeviceLink::SendFeature(const FeatureReport& report)
{
    if (!IsUsable())
        return false;
    clock_.SleepMs(kFeaturePauseMs);
    OnActive([&](platform::HidDevice& d) { return d.SendFeatureReport(report); });
    return false; // callers ignore the result
}

bool DeviceLink::SendFeatureNow(const FeatureReport& report)
{
    return OnActive([&](platform::HidDevice& d) { return d.SendFeatureReport(report); }) >= 0;
}

bool DeviceLink::ReadSlotTable(SlotTable& table)
{
    if (!IsUsable())
        return false;
    const FeatureReport set = BuildReadSlotTable();
    OnActive([&](platform::HidDevice& d) { return d.SendFeatureReport(set); });
    for (int get = 0; get < 4 && IsUsable(); ++get) {
        clock_.SleepMs(kFeaturePauseMs);
        FeatureReport reply = BuildSlotTableGet();
        const int got = OnActive([&](platform::HidDevice& d) { return d.GetFeatureReport(reply); });
        if (got > 0)
            MergeSlotTableReply(table, get, Received(reply, got));
    }
    return true;
}

bool DeviceLink::ReadFirmwareVersion(int& version)
{
    if (!IsUsable())
        return false;
    clock_.SleepMs(kFeaturePauseMs);
    const FeatureReport set = BuildReadFirmware();
    if (OnActive([&](platform::HidDevice& d) { return d.SendFeatureReport(set); }) < 0)
        return false;
    for (int attempt = 0; attempt < 2 && IsUsable(); ++attempt) {
        clock_.SleepMs(kFeaturePauseMs);
        FeatureReport reply = BuildFirmwareGet();
        const int got = OnActive([&](platform::HidDevice& d) { return d.GetFeatureReport(reply); });
        if (got < 0)
            break;
        const std::span<const std::uint8_t> bytes = Received(reply, got);
        // The second reply is taken as it comes; the first only when it carries the report id.
        if (attempt == 1 || (got > 0 && reply[0] == kFeatureReportId)) {
            if (const auto parsed = ParseFirmwareVersion(bytes))
                version = *parsed;
            break;
        }
    }
    return true;
}

int DeviceLink::Output(std::span<const std::uint8_t> report, bool stream)
{
    const auto write = [&](platform::HidDevice& d) {
        // Pad to the interface's output report length when that is longer.
        const std::size_t length = d.OutputReportLength();
        if (length <= report.size())
            return d.Write(report);
        std::vector<std::uint8_t> padded(report.begin(), report.end());
        padded.resize(length, 0);
        return d.Write(padded);
    };
    return stream ? OnStream(write) : OnActive(write);
}

bool DeviceLink::WriteReport(const OutputReport& report)
{
    if (Output(report, false) >= 0)
        return true;
    if (!IsUsable())
        return false;
    clock_.SleepMs(kWriteRetryMs);
    return Output(report, false) >= 0;
}

bool DeviceLink::StreamUsable() const
{
    std::lock_guard lock(mutex_);
    return open_ && stream_ && !stream_->handle->IsGone();
}

bool DeviceLink::WriteStreamReport(const OutputReport& report)
{
    if (!IsOpen())
        return false;
    if (Output(report, true) < 0 && StreamUsable()) {
        clock_.SleepMs(kWriteRetryMs);
        const bool retried = Output(report, true) >= 0;
        static_cast<void>(retried); // the stream never stops early
    }
    return true;
}

bool DeviceLink::WriteFramedReport(const FramedPayload& payload)
{
    OutputReport report{};
    report[0] = kOutputReportId;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    if (Output(report, false) >= 0)
        return true;
    if (!IsUsable())
        return false;
    clock_.SleepMs(kFramedRetryMs);
    return Output(report, false) >= 0;
}

std::unique_ptr<platform::DeviceWatcher> DeviceLink::MakeWatcher()
{
    return backend_->MakeWatcher();
}

} // namespace keystead::device
