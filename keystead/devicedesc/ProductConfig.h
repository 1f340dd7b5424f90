#pragma once
#include "devicedesc/DeviceEntry.h"
#include "xml/LeadingNumber.h"

#include <string>
#include <string_view>
#include <vector>

class XmlDocument;

// The product configuration file config.xml: the keyboard models this build serves, their
// HID identities, and the software's version and web addresses. Elements are searched in
// file order (device.info, then software; within software website, store, upgrade,
// copyright), each search continuing after the element found before; numbers are read as
// their longest leading number, vid and pid as hexadecimal with or without "0x".

struct SoftwareInfo {
    std::wstring version;
    std::wstring websiteUrl;
    std::wstring storeUrl;
    std::wstring upgradeUrl;
    std::wstring copyright;
};

struct ProductConfig {
    std::vector<DeviceEntry> keyboards; // one entry per keyboard element
    std::vector<DeviceEntry> modes;     // one entry per mode element, named by product_name
    SoftwareInfo software;
};

// The main window's device list control.
class DeviceListTarget {
public:
    virtual ~DeviceListTarget() = default;
    virtual void AddDevice(const std::wstring& name, int vendorId, int productId, int deviceType, bool connected) = 0;
};

// The device link's table of supported HID identities.
class SupportedDeviceTable {
public:
    virtual ~SupportedDeviceTable() = default;
    virtual void RegisterIdentity(int vendorId, int productId, const std::wstring& productName, int deviceType,
                                  int mode, const std::wstring& hidInterface) = 0;
};

// The footer texts of the home page.
class FooterTextTarget {
public:
    static constexpr int kCopyrightText = 57;
    static constexpr int kVersionText = 58;
    virtual ~FooterTextTarget() = default;
    virtual void SetFooterText(int controlId, const std::wstring& text) = 0;
};

// What the main window does after reading the file.
class ProductConfigHooks {
public:
    static constexpr int kDefaultDeviceType = 201;
    virtual ~ProductConfigHooks() = default;
    // Loads the layout and database of the model of this device type (always 201).
    virtual void LoadDefaultModel(int deviceType) = 0;
    // Starts listening for HID devices arriving and leaving.
    virtual void RegisterDeviceNotifications() = 0;
};

// Where the entries go; each target may be null.
struct ProductConfigTargets {
    DeviceListTarget* deviceList = nullptr;
    SupportedDeviceTable* deviceTable = nullptr;
    FooterTextTarget* footer = nullptr;
    ProductConfigHooks* hooks = nullptr;
};

// Empties `config`, reads the file into it and hands the entries to the targets, then loads
// the default model and registers for device notifications, whether or not the file could
// be read. False when the file could not be read, was not well formed or its root is not
// "config" (the lists then stay empty).
bool LoadProductConfig(const std::wstring& path, ProductConfig& config, const ProductConfigTargets& targets);
// The same from the text of a file, for tests and tools.
bool LoadProductConfigText(std::string_view text, ProductConfig& config, const ProductConfigTargets& targets);

// The first keyboard of a device type; null when there is none.
const DeviceEntry* FindKeyboardByType(const std::vector<DeviceEntry>& keyboards, int deviceType);

