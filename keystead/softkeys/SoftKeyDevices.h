#pragma once
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
