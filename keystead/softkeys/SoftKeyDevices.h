#pragma once
#include "devicedesc/DeviceEntry.h"
#include "platform/EvdevFilterDevice.h"
#include "platform/FilterDevice.h"
#include "platform/VirtualHidDevice.h"

#include <memory>
#include <vector>

// The filter and virtual device the program uses: the simulated ones when KEYSTEAD_DEVICE is
// "simulated", otherwise the evdev filter and the uinput device.
bool UseSimulatedSoftKeyDevices();
std::unique_ptr<platform::VirtualHidDevice> MakeVirtualHidDevice();
// keyboards: the USB ids of the configured models, whose keys the filter holds back.
std::unique_ptr<platform::FilterDevice> MakeFilterDevice(std::vector<platform::UsbId> keyboards);

// The USB ids of the product configuration's identities (entries with both ids set), each once,
// in file order: the keyboards the filter watches and the driver rules name.
std::vector<platform::UsbId> KeyboardIds(const std::vector<DeviceEntry>& identities);
