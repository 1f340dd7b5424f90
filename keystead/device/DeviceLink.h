#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/Reports.h"
#include "devicedesc/ProductConfig.h"
#include "platform/Clock.h"
#include "platform/DeviceWatcher.h"
#include "platform/HidBackend.h"

// The one object of the process that knows which HID interfaces belong to the configured
// keyboards, keeps them open, picks the interface commands go to, and carries the transport
// primitives with their protocol pauses and retries.
namespace keystead::device {

// One `mode` element of the product configuration.
struct RegisteredInterface {
    int vendorId = 0;
    int productId = 0;
    std::wstring productName; // empty: any product string
    int deviceType = 0;
    int mode = 0;
    std::wstring interfacePattern; // compared against upper-cased identities
};

// An opened vendor interface, as GetCandidates reports it.
struct CandidateInfo {
    int index = 0;
    int vendorId = 0;
    int productId = 0;
    std::string path;
    std::string identity;
    std::wstring productString;
    int releaseNumber = 0;
    int deviceType = 0;
    int mode = 0;
    bool preferred = false;
};

inline constexpr std::uint16_t kVendorUsagePage = 0xFF01;
inline constexpr std::uint16_t kVendorUsage = 1;
inline constexpr std::string_view kStreamInterfaceMark = "&MI_03";

class DeviceLink : public SupportedDeviceTable {
public:
    DeviceLink(std::unique_ptr<platform::HidBackend> backend, platform::Clock& clock);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    void RegisterInterface(int vendorId, int productId, std::wstring productName, int deviceType, int mode,
        std::wstring interfacePattern);
    std::vector<RegisteredInterface> RegisteredInterfaces() const;
    // The same, as the product configuration hands each identity over.
    void RegisterIdentity(int vendorId, int productId, const std::wstring& productName, int deviceType, int mode,
        const std::wstring& hidInterface) override;

    // Opens and classifies every interface that a registration matches; sets the open flag.
    void Enumerate();
    void CloseAll();
    bool IsOpen() const;

    bool GetCandidates(std::vector<CandidateInfo>& out) const;
    int FindCandidate(int vendorId, int productId, std::wstring_view productName, int mode) const;
    // 0 if a candidate of the selected type has mode 0, else 2, else 1, else -1.
    int ConnectionMode() const;
    std::optional<CandidateInfo> ActiveInterface();
    std::optional<CandidateInfo> StreamInterface() const;

    // Dropping the cached active interface each time.
    void SelectDeviceType(int deviceType);
    int SelectedDeviceType() const;

    // Transport primitives. All fail at once, without I/O or pauses, while the link is closed,
    // no interface is selected, or the selected interface has left the system.
    bool SendFeature(const FeatureReport& report);    // 16 ms before; result always false
    bool SendFeatureNow(const FeatureReport& report); // no pause
    bool ReadSlotTable(SlotTable& table);             // set, then 4 gets with 16 ms before each
    // 16 ms before the set and each get; a reply without the report id gets one more try.
    // The version is left alone unless a reply carries one. Result: the set's success.
    bool ReadFirmwareVersion(int& version);
    bool WriteReport(const OutputReport& report);          // retry after 10 ms
    bool WriteStreamReport(const OutputReport& report);    // stream interface, retry after 10 ms
    bool WriteFramedReport(const FramedPayload& payload);  // retry after 32 ms

    // Whether the active interface can still take reports; sequences stop when it cannot.
    bool IsUsable();
    std::wstring LastError() const;

    // The stream start report goes out once per program run.
    bool StreamStarted() const { return streamStarted_; }
    void MarkStreamStarted() { streamStarted_ = true; }

    platform::Clock& Clock() { return clock_; }
    std::unique_ptr<platform::DeviceWatcher> MakeWatcher();

private:
    struct Candidate {
        CandidateInfo info;
        std::unique_ptr<platform::HidDevice> handle;
    };

    bool OfSelectedType(const Candidate& c) const;
    bool StreamUsable() const;
    Candidate* ActiveLocked();
    // Runs one HID call on the active (or stream) interface under the I/O lock; -1 without one.
    template <typename Call>
    int OnActive(Call call);
    template <typename Call>
    int OnStream(Call call);
    int Output(std::span<const std::uint8_t> report, bool stream);
    void RecordError(const platform::HidDevice& device);

    std::unique_ptr<platform::HidBackend> backend_;
    platform::Clock& clock_;
    mutable std::mutex mutex_; // candidate list, handles and every HID call
    bool open_ = false;
    std::vector<Candidate> candidates_;
    std::optional<Candidate> stream_;
    std::vector<RegisteredInterface> registered_;
    int selectedType_ = 0;
    int activeIndex_ = -1; // cached position in candidates_
    std::wstring lastError_;
    std::atomic<bool> streamStarted_{false};
};

// The process-wide link, made on first use. KEYSTEAD_DEVICE=simulated[:<device_type>:<mode>]
// makes it drive a simulated keyboard that presents the configured identities.
DeviceLink& GetDeviceLink();

} // namespace keystead::device
