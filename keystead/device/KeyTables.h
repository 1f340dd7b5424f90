#pragma once
#include <cstdint>
#include <map>
#include <span>

#include "device/Reports.h"

// The per-key tables of family A (key map, custom colours) and the colour stream. Keys are
// placed by their position (key_index); a key without a position, or with one outside
// 0-109, is left out.
namespace keystead::device {

// Key code -> key_index, from the layout.
using KeyIndexMap = std::map<int, int>;
// Key code -> family-A macro slot, from the last slot upload.
using KeyToSlotMap = std::map<int, int>;

struct KeyMapEntry {
    int keyCode = 0;
    int macroType = 0;
    int macroValue = 0;
};

struct KeyColour {
    int keyCode = 0;
    std::uint32_t colour = 0; // COLORREF
};

// Positions 0-109 of a key code, nothing otherwise.
int KeyPosition(const KeyIndexMap& map, int keyCode);

// 2 bytes per key: kind 2 (another key): macro_value, 0x20; kind 1 (disabled): 0x00, 0x20;
// kinds 3 and 7: slot, 0x40 when the slot map holds the key; anything else 0x00, 0x00.
KeyMapTable BuildKeyMap(std::span<const KeyMapEntry> assignments, const KeyIndexMap& positions,
    const KeyToSlotMap& slots);
// 4 bytes per key: red, green, blue, 0xFF.
CustomColourTable BuildCustomColourTable(std::span<const KeyColour> colours, const KeyIndexMap& positions);
// 3 bytes per key: red, green, blue.
ColourStreamTable BuildColourStreamTable(std::span<const KeyColour> colours, const KeyIndexMap& positions);

} // namespace keystead::device
