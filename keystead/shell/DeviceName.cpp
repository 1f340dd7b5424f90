#include "shell/DeviceName.h"

#include "lumo/Manager.h"
#include "shell/AppPaths.h"
#include "xml/XmlDocument.h"

std::wstring ReadDeviceName(const std::wstring& configPath)
{
    XmlDocument doc;
    if (!doc.Load(configPath) || !doc.FindElem(L"config") || !doc.IntoElem() || !doc.FindElem(L"software"))
        return {};
    return doc.GetAttrib(L"name");
}

bool LoadDeviceName(const std::wstring& configPath)
{
    // An empty name would name no instance, settings folder or data folder of its own.
    const std::wstring name = ReadDeviceName(configPath);
    if (name.empty())
        return false;
    Lumo::Manager::SetDeviceName(name);
    return true;
}

std::wstring ProductConfigPath()
{
    return GetModuleDir() + L"/config.xml";
}
