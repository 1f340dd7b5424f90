#include "devicedesc/ProductConfig.h"

#include "xml/XmlDocument.h"

#include <climits>

namespace {
bool ReadDocument(XmlDocument& doc, ProductConfig& config, const ProductConfigTargets& targets)
{
    if (!doc.FindElem(L"config") || !doc.IntoElem())
        return false;

    if (doc.FindElem(L"device.info") && doc.IntoElem()) {
        while (doc.FindElem(L"keyboard")) {
            DeviceEntry keyboard;
            keyboard.name = doc.GetAttrib(L"name");
            keyboard.deviceType = doc.GetAttribInt(L"device_type");
            keyboard.layoutName = doc.GetAttrib(L"device_info");
            config.keyboards.push_back(keyboard);
            if (targets.deviceList)
                targets.deviceList->AddDevice(keyboard.name, 0, 0, keyboard.deviceType, false);

            doc.IntoElem();
            while (doc.FindElem(L"mode")) {
                DeviceEntry mode = keyboard;
                mode.mode = doc.GetAttribInt(L"value");
                mode.description = doc.GetAttrib(L"desc");
                mode.vendorId = LeadingHexInt(doc.GetAttrib(L"vid"));
                mode.productId = LeadingHexInt(doc.GetAttrib(L"pid"));
                mode.name = doc.GetAttrib(L"product_name");
                mode.hidInterface = doc.GetAttrib(L"hid_interface");
                config.modes.push_back(mode);
                if (targets.deviceTable)
                    targets.deviceTable->RegisterIdentity(mode.vendorId, mode.productId, mode.name, mode.deviceType,
                                                          mode.mode, mode.hidInterface);
            }
            doc.OutOfElem();
        }
        doc.OutOfElem();
    }

    if (doc.FindElem(L"software")) {
        config.software.version = doc.GetAttrib(L"version");
        if (targets.footer)
            targets.footer->SetFooterText(FooterTextTarget::kVersionText, L"Ver: " + config.software.version);
        doc.IntoElem();
        if (doc.FindElem(L"website"))
            config.software.websiteUrl = doc.GetAttrib(L"url");
        if (doc.FindElem(L"store"))
            config.software.storeUrl = doc.GetAttrib(L"url");
        if (doc.FindElem(L"upgrade"))
            config.software.upgradeUrl = doc.GetAttrib(L"url");
        if (doc.FindElem(L"copyright")) {
            config.software.copyright = doc.GetAttrib(L"info");
            if (targets.footer)
                targets.footer->SetFooterText(FooterTextTarget::kCopyrightText, config.software.copyright);
        }
    }
    return true;
}

bool Finish(bool read, const ProductConfigTargets& targets)
{
    if (targets.hooks) {
        targets.hooks->LoadDefaultModel(ProductConfigHooks::kDefaultDeviceType);
        targets.hooks->RegisterDeviceNotifications();
    }
    return read;
}
} // namespace

bool LoadProductConfig(const std::wstring& path, ProductConfig& config, const ProductConfigTargets& targets)
{
    config = ProductConfig();
    XmlDocument doc;
    const bool read = doc.Load(path) && ReadDocument(doc, config, targets);
    return Finish(read, targets);
}

bool LoadProductConfigText(std::string_view text, ProductConfig& config, const ProductConfigTargets& targets)
{
    config = ProductConfig();
    XmlDocument doc;
    const bool read = doc.LoadFromText(text) && ReadDocument(doc, config, targets);
    return Finish(read, targets);
}

const DeviceEntry* FindKeyboardByType(const std::vector<DeviceEntry>& keyboards, int deviceType)
{
    for (const DeviceEntry& entry : keyboards)
        if (entry.deviceType == deviceType)
            return &entry;
    return nullptr;
}
