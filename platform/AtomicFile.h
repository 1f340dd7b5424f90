#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

// Small whole-file reads and crash-safe whole-file replacement.
namespace platform {

// Reads a regular file of at most `limit` bytes; false when it cannot be read or is larger.
bool ReadSmallFile(const std::string& path, size_t limit, std::string& out);

// Replaces `target` (a file in `folder`) with `contents`: writes a temporary file in the
// folder, flushes it to disk, renames it over the target and flushes the folder. A crash at
// any point leaves the old or the new file. False (target untouched) when any step fails.
bool ReplaceFileAtomically(const std::string& folder, const std::string& target, std::string_view contents,
                           mode_t mode);

// Creates the folder and its missing parents; true when it is a folder afterwards.
bool CreateFolders(const std::string& folder, mode_t mode);
bool IsFolder(const std::string& path);

} // namespace platform
