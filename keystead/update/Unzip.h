#pragma once
#include <cstdint>
#include <string>

// Bounds of one unpacking; archives come from the network.
struct UnzipLimits {
    uint64_t maxTotalBytes = 2ull * 1024 * 1024 * 1024;  // inflated bytes of all entries together
    uint64_t maxEntries = 100000;
};

enum class UnzipResult {
    Done,
    CannotOpen,    // not a readable zip archive
    RefusedEntry,  // an entry name or kind that is not a plain file or folder inside the target
    TooLarge,      // more entries or more inflated bytes than the limits allow
    Corrupt,       // bad CRC, wrong size, damaged data, unsupported method or encryption
    WriteFailed,   // the target could not be written
};

// Unpacks every entry of a zip archive into the folder (created when missing), creating
// the sub-folders of entry names; '\' counts as a separator like '/'.
//
// The whole central directory is checked before anything is written: an archive with an
// empty name, an embedded NUL, an absolute name, a drive prefix, a ".." component, a
// symbolic link or other special entry, or two entries of the same name is refused as a
// whole. Files are created without following links, so nothing is written outside the
// folder. When an entry fails while unpacking, the files written so far are removed.
UnzipResult Unzip(const std::wstring& archive, const std::wstring& folder, const UnzipLimits& limits = {});
