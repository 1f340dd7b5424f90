#pragma once
#include <string>

// Folders every subsystem uses to find its files. Paths use '/' as separator.

// Folder of the running executable, without a trailing slash.
std::wstring GetModuleDir();
// The same folder with a trailing slash.
std::wstring GetModuleDirWithSlash();
// Per-user data folder: XDG data home + "/<device name> Files/", ending in a slash.
std::wstring GetUserDataDir();
// Creates every missing folder along the path; true when the final folder exists afterwards.
bool CreateDirectoryPath(const std::wstring& path);
