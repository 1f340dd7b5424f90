#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cstdio>

#include "platform/HidBackend.h"

namespace platform {

std::string HidIdentity(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber, HidBus bus)
{
    char buf[96];
    if (bus == HidBus::Bluetooth) {
        std::snprintf(buf, sizeof buf, "HID#{%.*s}_DEV_VID&02%04X_PID&%04X",
            static_cast<int>(kBluetoothHidServiceGuid.size()), kBluetoothHidServiceGuid.data(), vendorId, productId);
    } else if (interfaceNumber >= 0) {
        std::snprintf(buf, sizeof buf, "HID#VID_%04X&PID_%04X&MI_%02X", vendorId, productId,
            static_cast<unsigned>(interfaceNumber & 0xFF));
    } else {
        std::snprintf(buf, sizeof buf, "HID#VID_%04X&PID_%04X", vendorId, productId);
    }
    return buf;
}

namespace {

HidBus BusOf(hid_bus_type bus)
{
    switch (bus) {
    case HID_API_BUS_USB:
        return HidBus::Usb;
    case HID_API_BUS_BLUETOOTH:
        return HidBus::Bluetooth;
    case HID_API_BUS_UNKNOWN:
        return HidBus::Unknown;
    default:
        return HidBus::Other;
    }
}

class HidapiDevice : public HidDevice {
public:
    HidapiDevice(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
    ~HidapiDevice() override { hid_close(device_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    int SendFeatureReport(std::span<const std::uint8_t> data) override
    {
        return Result(hid_send_feature_report(device_, data.data(), data.size()));
    }
    int GetFeatureReport(std::span<std::uint8_t> data) override
    {
        return Result(hid_get_feature_report(device_, data.data(), data.size()));
    }
    int Write(std::span<const std::uint8_t> data) override
    {
        return Result(hid_write(device_, data.data(), data.size()));
    }
    std::size_t OutputReportLength() const override { return 0; }
    std::wstring LastError() const override { return lastError_; }
    bool IsGone() const override { return ::access(path_.c_str(), F_OK) != 0; }

private:
    int Result(int result)
    {
        if (result < 0) {
            const wchar_t* text = hid_error(device_);
            lastError_ = text ? text : L"";
        }
        return result;
    }

    hid_device* device_;
    std::string path_;
    std::wstring lastError_;
};

class HidapiBackend : public HidBackend {
public:
    ~HidapiBackend() override
    {
        if (initialised_)
            hid_exit();
    }

    bool Available() override
    {
        if (!initialised_)
            initialised_ = hid_init() == 0;
        return initialised_;
    }

    std::vector<HidInterfaceInfo> Enumerate() override
    {
        std::vector<HidInterfaceInfo> result;
        if (!Available())
            return result;
        hid_device_info* list = hid_enumerate(0, 0);
        for (const hid_device_info* d = list; d; d = d->next) {
            HidInterfaceInfo info;
            info.path = d->path ? d->path : "";
            info.vendorId = d->vendor_id;
            info.productId = d->product_id;
            info.releaseNumber = d->release_number;
            info.usagePage = d->usage_page;
            info.usage = d->usage;
            info.interfaceNumber = d->interface_number;
            info.bus = BusOf(d->bus_type);
            info.productString = d->product_string ? d->product_string : L"";
            info.identity = HidIdentity(info.vendorId, info.productId, info.interfaceNumber, info.bus);
            result.push_back(std::move(info));
        }
        hid_free_enumeration(list);
        return result;
    }

    std::unique_ptr<HidDevice> Open(const std::string& path) override
    {
        if (!Available())
            return nullptr;
        hid_device* device = hid_open_path(path.c_str());
        if (!device)
            return nullptr;
        return std::make_unique<HidapiDevice>(device, path);
    }

    std::unique_ptr<DeviceWatcher> MakeWatcher() override { return MakeUdevDeviceWatcher(); }

private:
    bool initialised_ = false;
};

} // namespace

std::unique_ptr<HidBackend> MakeHidapiBackend()
{
    return std::make_unique<HidapiBackend>();
}

} // namespace platform
