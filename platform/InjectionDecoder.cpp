#include "platform/InjectionDecoder.h"

#include "platform/KeyUsageMap.h"

#include <linux/input-event-codes.h>

namespace platform {

std::vector<InputEventSpec> InjectionDecoder::Decode(const InjectionReport& report)
{
    std::vector<InputEventSpec> out;
    if (report.bytes[0] != kInjectionMarker)
        return out;
    const auto data = report.Data();
    switch (report.ReportId()) {
    case kKeyboardReport:
        DecodeKeys(data.subspan(1, 32), out);
        break;
    case kMouseReport:
        DecodeButtons(data[0], out);
        break;
    case kConsumerReport:
        DecodeConsumer(static_cast<uint16_t>(data[0] | (data[1] << 8)), out);
        break;
    default:  // report 4 carries nothing to press
        break;
    }
    if (!out.empty())
        out.push_back({EV_SYN, SYN_REPORT, 0});
    return out;
}

std::vector<InputEventSpec> InjectionDecoder::ReleaseEverything()
{
    std::vector<InputEventSpec> out;
    DecodeKeys(std::array<uint8_t, 32>{}, out);
    DecodeButtons(0, out);
    DecodeConsumer(0, out);
    if (!out.empty())
        out.push_back({EV_SYN, SYN_REPORT, 0});
    return out;
}

void InjectionDecoder::DecodeKeys(std::span<const uint8_t> bitmap, std::vector<InputEventSpec>& out)
{
    // Releases first, so that a report moving from one key to another never shows both down.
    for (int pass = 0; pass < 2; ++pass) {
        const bool pressing = pass == 1;
        for (int usage = 0; usage < 256; ++usage) {
            const uint8_t mask = static_cast<uint8_t>(1u << (usage % 8));
            const bool was = (keys_[static_cast<size_t>(usage / 8)] & mask) != 0;
            const bool now = (bitmap[static_cast<size_t>(usage / 8)] & mask) != 0;
            if (was == now || now != pressing)
                continue;
            if (const int code = KeyboardUsageToEvdev(usage))
                out.push_back({EV_KEY, static_cast<uint16_t>(code), now ? 1 : 0});
        }
    }
    std::copy(bitmap.begin(), bitmap.begin() + 32, keys_.begin());
}

void InjectionDecoder::DecodeButtons(uint8_t bits, std::vector<InputEventSpec>& out)
{
    for (int bit = 0; bit < 8; ++bit) {
        const uint8_t mask = static_cast<uint8_t>(1u << bit);
        if ((buttons_ & mask) == (bits & mask))
            continue;
        if (const int code = MouseBitToEvdev(bit))
            out.push_back({EV_KEY, static_cast<uint16_t>(code), (bits & mask) ? 1 : 0});
    }
    buttons_ = bits;
}

void InjectionDecoder::DecodeConsumer(uint16_t usage, std::vector<InputEventSpec>& out)
{
    if (usage == consumer_)
        return;
    if (const int code = ConsumerUsageToEvdev(consumer_))
        out.push_back({EV_KEY, static_cast<uint16_t>(code), 0});
    if (const int code = ConsumerUsageToEvdev(usage))
        out.push_back({EV_KEY, static_cast<uint16_t>(code), 1});
    consumer_ = usage;
}

} // namespace platform
