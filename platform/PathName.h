#pragma once
#include <string>
#include <string_view>

namespace platform {

// Makes a name from a configuration file usable as one path component: '/' and NUL
// become '_', and "", "." and ".." become "_", so the name can never leave its folder.
std::string SafePathComponent(std::string_view name);

} // namespace platform
