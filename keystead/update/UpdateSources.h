#pragma once
#include <string>

// Where one kind of update comes from: the base address of its version file and archive,
// and the optional base64 Ed25519 key its archives must be signed with.
struct UpdateSource {
    std::wstring url;
    std::wstring pubkey;
};

// Everything the update tasks read from the configuration, taken when a task runs.
struct UpdateSources {
    std::wstring softwareVersion;  // config / software version
    UpdateSource software;         // config / software / upgrade url and pubkey
    UpdateSource firmware;         // layout device.info / firmware url and pubkey
    std::wstring firmwareFile;     // layout device.info / firmware file
    std::wstring downloadFolder;   // where archives are fetched and unpacked, ending in '/'
    std::wstring programFolder;    // the program's folder, ending in '/'
};

// The download folder in the user data folder: "<user data>/temp/".
std::wstring DefaultDownloadFolder();

// The optional pubkey attribute of config / software / upgrade in a product configuration
// file; empty when the file, the element or the attribute is missing.
std::wstring ReadSoftwareUpdateKey(const std::wstring& configPath);
// The optional pubkey attribute of device.info / firmware in a layout file.
std::wstring ReadFirmwareUpdateKey(const std::wstring& layoutPath);
