#pragma once
#include "platform/VirtualHidDevice.h"

#include <array>
#include <cstdint>
#include <vector>

// Turns the injection reports into the input events that bring a virtual input device from the
// state of the previous reports to the state of the new one (key, button and consumer changes).
namespace platform {

struct InputEventSpec {
    uint16_t type = 0;
    uint16_t code = 0;
    int32_t value = 0;
    bool operator==(const InputEventSpec&) const = default;
};

class InjectionDecoder {
public:
    // The events for one report, ending with a SYN_REPORT when anything changed; empty otherwise.
    std::vector<InputEventSpec> Decode(const InjectionReport& report);
    // Events that release everything still pressed.
    std::vector<InputEventSpec> ReleaseEverything();

private:
    void DecodeKeys(std::span<const uint8_t> bitmap, std::vector<InputEventSpec>& out);
    void DecodeButtons(uint8_t bits, std::vector<InputEventSpec>& out);
    void DecodeConsumer(uint16_t usage, std::vector<InputEventSpec>& out);

    std::array<uint8_t, 32> keys_{};
    uint8_t buttons_ = 0;
    uint16_t consumer_ = 0;
};

} // namespace platform
