#pragma once
#include <string>

// Folder look-ups of the XDG base-directory convention, with their documented defaults.
namespace platform {

std::string XdgDataHome();    // $XDG_DATA_HOME or ~/.local/share
std::string XdgConfigHome();  // $XDG_CONFIG_HOME or ~/.config
std::string XdgRuntimeDir();  // $XDG_RUNTIME_DIR or /tmp
std::string ExecutableDir();  // folder of /proc/self/exe, without a trailing slash

} // namespace platform
