#include "device/KeyTables.h"

namespace keystead::device {
namespace {

constexpr int kKindDisabled = 1;
constexpr int kKindKey = 2;
constexpr int kKindMacro = 3;
constexpr int kKindShortcut = 7;

void PutColour(std::span<std::uint8_t> entry, std::uint32_t colour)
{
    entry[0] = static_cast<std::uint8_t>(colour & 0xFF);
    entry[1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    entry[2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

} // namespace

int KeyPosition(const KeyIndexMap& map, int keyCode)
{
    const auto it = map.find(keyCode);
    if (it == map.end() || it->second < 0 || it->second >= kKeyPositions)
        return -1;
    return it->second;
}

KeyMapTable BuildKeyMap(std::span<const KeyMapEntry> assignments, const KeyIndexMap& positions,
    const KeyToSlotMap& slots)
{
    KeyMapTable table{};
    for (const KeyMapEntry& a : assignments) {
        const int pos = KeyPosition(positions, a.keyCode);
        if (pos < 0)
            continue;
        std::uint8_t value = 0;
        std::uint8_t kind = 0;
        switch (a.macroType) {
        case kKindKey:
            value = static_cast<std::uint8_t>(a.macroValue & 0xFF);
            kind = 0x20;
            break;
        case kKindDisabled:
            kind = 0x20;
            break;
        case kKindMacro:
        case kKindShortcut:
            if (const auto it = slots.find(a.keyCode); it != slots.end()) {
                value = static_cast<std::uint8_t>(it->second & 0xFF);
                kind = 0x40;
            }
            break;
        default:
            break;
        }
        table[2 * pos] = value;
        table[2 * pos + 1] = kind;
    }
    return table;
}

CustomColourTable BuildCustomColourTable(std::span<const KeyColour> colours, const KeyIndexMap& positions)
{
    CustomColourTable table{};
    for (const KeyColour& k : colours) {
        const int pos = KeyPosition(positions, k.keyCode);
        if (pos < 0)
            continue;
        std::span<std::uint8_t> entry(table.data() + 4 * pos, 4);
        PutColour(entry, k.colour);
        entry[3] = 0xFF;
    }
    return table;
}

ColourStreamTable BuildColourStreamTable(std::span<const KeyColour> colours, const KeyIndexMap& positions)
{
    ColourStreamTable table{};
    for (const KeyColour& k : colours) {
        const int pos = KeyPosition(positions, k.keyCode);
        if (pos >= 0)
            PutColour(std::span<std::uint8_t>(table.data() + 3 * pos, 3), k.colour);
    }
    return table;
}

} // namespace keystead::device
