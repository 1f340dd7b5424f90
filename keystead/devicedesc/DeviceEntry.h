#pragma once
#include <string>

// One keyboard model (keyboard list) or one HID identity of a model (mode list), as read
// from the product configuration file config.xml.
struct DeviceEntry {
    std::wstring name;          // model name; in the mode list the identity's product name
    int deviceType = 0;         // model class: up to 200 one protocol family, 201-299 the other
    std::wstring layoutName;    // base name of the layout file layouts/<layoutName>.xml
    int mode = 0;               // connection mode of the identity (0 in the keyboard list)
    int vendorId = 0;           // USB vendor id (0 in the keyboard list)
    int productId = 0;          // USB product id (0 in the keyboard list)
    std::wstring description;   // mode description (empty in the keyboard list)
    std::wstring spareText;     // always empty
    std::wstring hidInterface;  // upper-case fragment of the configuration interface's identity
    int state = 0;              // 1 while a device of this identity is connected
    int index = -1;             // owned by the device link; not set from the file
};
