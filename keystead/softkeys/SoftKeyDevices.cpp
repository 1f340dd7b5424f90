#include "softkeys/SoftKeyDevices.h"

#include "platform/SimulatedFilterDevice.h"
#include "platform/SimulatedVirtualHidDevice.h"
#include "platform/UinputVirtualDevice.h"

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
