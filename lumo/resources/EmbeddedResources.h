#pragma once
#include <span>
#include <vector>

namespace Lumo::Embedded {

// The TrueType file of the library's typeface (Open Sans Semibold).
std::span<const unsigned char> FontBytes();
// PNG files of the default scroll-bar strips: 4 state frames side by side.
std::vector<unsigned char> ScrollBarPng(bool vertical);

} // namespace Lumo::Embedded
