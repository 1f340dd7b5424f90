#include "profiles/ExchangeCommands.h"

#include "profiles/ExchangeFiles.h"
#include "profiles/ItemListView.h"
#include "profiles/ProfileHost.h"
#include "profiles/ProfileManager.h"
#include "shell/Language.h"

namespace {
constexpr int kNoImage = -1;
} // namespace

ExchangeCommands::ExchangeCommands(DataStore& store, ProfileManager& profiles, ItemListView& profileList,
                                   ItemListView& macroList, ProfileHost& host)
    : m_store(store), m_profiles(profiles), m_profileList(profileList), m_macroList(macroList), m_host(host)
{
}

bool ExchangeCommands::ExportProfile(const std::wstring& path)
{
    const int sel = m_profileList.GetCurSel();
    if (sel < 0) {
        m_host.ShowSystemMessage(GetLanguageText(151), GetLanguageText(152));
        return false;
    }
    return ::ExportProfile(m_store, static_cast<int>(m_profileList.GetItemData(sel)), m_profileList.GetItemText(sel),
                           path);
}

bool ExchangeCommands::ImportProfile(const std::wstring& path)
{
    const ProfileImport result = ::ImportProfile(m_store, path);
    for (const ImportedMacro& m : result.macros) {
        const int index = m_macroList.AddString(m.name, m.id, kNoImage);
        m_macroList.SetCurSel(index);
    }
    if (result.profileId > 0)
        m_profiles.AddImportedProfile(result.name, result.profileId);
    return result.readable;
}

bool ExchangeCommands::ExportMacro(const std::wstring& path)
{
    const int sel = m_macroList.GetCurSel();
    if (sel < 0) {
        m_host.ShowSystemMessage(GetLanguageText(540), GetLanguageText(541));
        return false;
    }
    return ::ExportMacro(m_store, static_cast<int>(m_macroList.GetItemData(sel)), path);
}

bool ExchangeCommands::ImportMacro(const std::wstring& path)
{
    const ImportedMacro m = ::ImportMacro(m_store, path);
    if (m.id > 0)
        m_macroList.AddString(m.name, m.id, kNoImage);
    return m.id > 0;
}
