#pragma once
#include <string>

// The device name that names this program instance: the name attribute of config / software
// in the product configuration file.

// The name from the file; empty when the file cannot be read, is not well formed, has
// another root, lacks the element or gives an empty name.
std::wstring ReadDeviceName(const std::wstring& configPath);
// Hands the name to Lumo::Manager; when there is none the default name stays. True when set.
bool LoadDeviceName(const std::wstring& configPath);
// config.xml of the program folder.
std::wstring ProductConfigPath();
