#include "device/Detection.h"

#include <algorithm>
#include <cctype>

#include "platform/TextCodec.h"

namespace keystead::device {

void DetectKeyboard(DeviceLink& link, std::vector<DeviceEntry>& modes, ConnectionFlags& flags, DeviceStatusView& view)
{
    flags.keyboardConnected = false;
    link.CloseAll();
    link.Enumerate();
    link.SelectDeviceType(0);

    view.ResetAllDeviceStates();
    for (DeviceEntry& entry : modes) {
        if (link.FindCandidate(entry.vendorId, entry.productId, entry.name, entry.mode) >= 0) {
            flags.keyboardConnected = true;
            entry.state = 1;
            view.SetDeviceState(entry.deviceType, 1);
        }
    }
    std::vector<CandidateInfo> candidates;
    flags.candidatesPresent = link.GetCandidates(candidates);
}

bool ApplyConnectionState(DeviceLink& link, int deviceType, ConnectionFlags& flags, DeviceStatusView& view)
{
    view.CloseOwnPopups();
    if (!flags.candidatesPresent) {
        view.SetStatusText(kTextNotConnected);
        view.ShowDevicePages(false);
        return false;
    }
    link.SelectDeviceType(deviceType);
    flags.connectionMode = link.ConnectionMode();
    view.SetStatusText(kTextConnected);
    view.ApplyConnectionMode(flags.connectionMode);
    if ((flags.connectionMode == 1 || flags.connectionMode == 2) && !flags.keyboardConnected) {
        view.SetStatusText(kTextNotConnected);
        view.ShowDevicePages(false);
        return false;
    }
    view.ShowDevicePages(true);
    return true;
}

int HandleDeviceChange(platform::DeviceChange change, std::string_view identity, std::vector<DeviceEntry>& modes,
    DeviceEvent& lastEvent)
{
    std::string path(identity);
    std::transform(path.begin(), path.end(), path.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (path.find(platform::kBluetoothHidServiceGuid) != std::string::npos)
        return 0;
    for (DeviceEntry& entry : modes) {
        const std::string pattern = platform::ToUtf8(entry.hidInterface);
        if (path.find(pattern) == std::string::npos)
            continue;
        if (change == platform::DeviceChange::Arrival) {
            lastEvent = {1, entry.deviceType};
            return 2;
        }
        if (entry.state != 1)
            continue;
        entry.state = 0;
        lastEvent = {2, entry.mode};
        return 3;
    }
    return 0;
}

} // namespace keystead::device
