#pragma once
#include <cstdint>

namespace keystead::device {

// The fields of a stored lighting mode that the keyboard receives, plus the selection of the
// lighting page's option list. Colours are COLORREF: red in bits 0-7, green 8-15, blue 16-23.
struct LightingParams {
    int mode = 0; // 1-based, as stored
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorIndex = 0;
    std::uint32_t colorValue = 0;
    int configFunc = 0;
    int option = 0;
};

inline constexpr int kConfigFuncCustomColours = 0x100;
inline constexpr int kConfigFuncMusic = 0x200;
inline constexpr int kConfigFuncScreen = 0x400;

} // namespace keystead::device
