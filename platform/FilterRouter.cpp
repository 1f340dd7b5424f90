#include "platform/FilterRouter.h"

#include "platform/KeyUsageMap.h"

namespace platform {

FilterRouter::Decision FilterRouter::Route(uint16_t evdevCode, int32_t value)
{
    const uint16_t usage = static_cast<uint16_t>(EvdevToKeyboardUsage(evdevCode));
    if (value == 1) {
        if (usage == 0 || held_.count(usage) == 0)
            return {};
        heldDown_.insert(evdevCode);
        return {Action::Report, usage, true};
    }
    if (heldDown_.count(evdevCode) == 0)
        return {};
    if (value == 0) {
        heldDown_.erase(evdevCode);
        return {Action::Report, usage, false};
    }
    // Held-back keys repeat through the virtual device, which has its own auto-repeat.
    return {Action::Drop};
}

} // namespace platform
