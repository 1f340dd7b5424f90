#include "update/UpdateSources.h"

#include "shell/AppPaths.h"
#include "xml/XmlDocument.h"

#include <initializer_list>

namespace {

// Follows a path of elements from the document's top level and reads one attribute.
std::wstring ReadAttributeAt(const std::wstring& path, std::initializer_list<const wchar_t*> elements, const wchar_t* attribute)
{
    XmlDocument doc;
    if (!doc.Load(path))
        return {};
    bool first = true;
    for (const wchar_t* name : elements) {
        if ((!first && !doc.IntoElem()) || !doc.FindElem(name))
            return {};
        first = false;
    }
    return doc.GetAttrib(attribute);
}

} // namespace

std::wstring DefaultDownloadFolder()
{
    return GetUserDataDir() + L"temp/";
}

std::wstring ReadSoftwareUpdateKey(const std::wstring& configPath)
{
    return ReadAttributeAt(configPath, { L"config", L"software", L"upgrade" }, L"pubkey");
}

std::wstring ReadFirmwareUpdateKey(const std::wstring& layoutPath)
{
    return ReadAttributeAt(layoutPath, { L"device.info", L"firmware" }, L"pubkey");
}
