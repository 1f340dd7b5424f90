#pragma once
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "platform/Clock.h"
#include "platform/SimulatedHid.h"

// A device link on simulated keyboards and a manual clock: pauses are recorded, never waited.
namespace devtest {

inline platform::SimulatedInterface Vendor(int connection, std::uint16_t pid, int mi, std::wstring product = L"Board")
{
    platform::SimulatedInterface i;
    i.connection = connection;
    i.vendorId = 0x1209;
    i.productId = pid;
    i.productString = std::move(product);
    i.interfaceNumber = mi;
    return i;
}

inline platform::SimulatedInterface Boot(int connection, std::uint16_t pid)
{
    platform::SimulatedInterface i = Vendor(connection, pid, 0);
    i.usagePage = 1;
    i.usage = 6;
    return i;
}

struct SimRig {
    platform::ManualClock clock;
    platform::SimulatedHidBackend* backend = nullptr; // owned by the link
    std::unique_ptr<keystead::device::DeviceLink> link;

    SimRig()
    {
        auto owned = std::make_unique<platform::SimulatedHidBackend>();
        backend = owned.get();
        link = std::make_unique<keystead::device::DeviceLink>(std::move(owned), clock);
    }

    std::shared_ptr<platform::SimulatedKeyboard> AddKeyboard(std::vector<platform::SimulatedInterface> interfaces)
    {
        auto keyboard = std::make_shared<platform::SimulatedKeyboard>(std::move(interfaces), clock);
        backend->AddKeyboard(keyboard);
        return keyboard;
    }

    // A family-B model (type 201): mode 0 by cable (PID 4B01), mode 1 by receiver (4B02),
    // mode 2 by Bluetooth-less second receiver (4B03), each with its vendor interface on MI_02.
    std::shared_ptr<platform::SimulatedKeyboard> AddTypicalKeyboard(int deviceType = 201)
    {
        std::vector<platform::SimulatedInterface> interfaces;
        for (int mode = 0; mode <= 2; ++mode) {
            const auto pid = static_cast<std::uint16_t>(0x4B01 + mode);
            interfaces.push_back(Boot(mode, pid));
            interfaces.push_back(Vendor(mode, pid, 2));
            interfaces.push_back(Vendor(mode, pid, 3));
            link->RegisterInterface(0x1209, pid, L"Board", deviceType, mode,
                mode == 0 ? L"VID_1209&PID_4B01&MI_02" : mode == 1 ? L"VID_1209&PID_4B02&MI_02" : L"VID_1209&PID_4B03&MI_02");
        }
        return AddKeyboard(interfaces);
    }

    // Enumerates with the model's type selected, as detection leaves it.
    void Open(int deviceType = 201)
    {
        link->CloseAll();
        link->Enumerate();
        link->SelectDeviceType(deviceType);
    }
};

} // namespace devtest
