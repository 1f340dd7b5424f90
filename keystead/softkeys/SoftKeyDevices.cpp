#include "softkeys/SoftKeyDevices.h"

#include "platform/SimulatedFilterDevice.h"
#include "platform/SimulatedVirtualHidDevice.h"
#include "platform/UinputVirtualDevice.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool UseSimulatedSoftKeyDevices()
{
    const char* mode = std::getenv("KEYSTEAD_DEVICE");
    return mode != nullptr && std::strcmp(mode, "simulated") == 0;
}

std::unique_ptr<platform::VirtualHidDevice> MakeVirtualHidDevice()
{
    if (UseSimulatedSoftKeyDevices())
        return std::make_unique<platform::SimulatedVirtualHidDevice>();
    return std::make_unique<platform::UinputVirtualDevice>();
}

std::unique_ptr<platform::FilterDevice> MakeFilterDevice(std::vector<platform::UsbId> keyboards)
{
    if (UseSimulatedSoftKeyDevices())
        return std::make_unique<platform::SimulatedFilterDevice>();
    return std::make_unique<platform::EvdevFilterDevice>(std::move(keyboards));
}

std::vector<platform::UsbId> KeyboardIds(const std::vector<DeviceEntry>& identities)
{
    std::vector<platform::UsbId> ids;
    for (const auto& e : identities) {
        if (e.vendorId <= 0 || e.vendorId > 0xFFFF || e.productId <= 0 || e.productId > 0xFFFF)
            continue;
        const platform::UsbId id{static_cast<uint16_t>(e.vendorId), static_cast<uint16_t>(e.productId)};
        if (std::none_of(ids.begin(), ids.end(), [&](const auto& k) { return !(k < id) && !(id < k); }))
            ids.push_back(id);
    }
    return ids;
}
