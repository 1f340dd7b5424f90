#include "profiles/ProfileManager.h"

#include "profiles/ItemListView.h"
#include "profiles/ProfileHost.h"
#include "profiles/ProfileNames.h"
#include "shell/Language.h"
#include "store/DataStore.h"

namespace {

constexpr int kNoImage = -1;
constexpr int kNotifyClick = 2;
constexpr int kNotifyEditEnd = 29;
constexpr int kDefaultProfileCount = 3;

std::wstring Stem() { return GetLanguageText(ProfileManager::kProfileStemText); }

} // namespace

ProfileManager::ProfileManager(DataStore& store, ItemListView& list, ProfileHost& host)
    : m_store(store), m_list(list), m_host(host)
{
}

std::vector<ProfileManager::Item> ProfileManager::ReadProfileList(int& activeId)
{
    std::vector<ProfileData> profiles;
    if (m_store.GetProfiles(profiles) == 0) {
        int firstId = 0;
        for (int n = 1; n <= kDefaultProfileCount; ++n) {
            ProfileData p;
            p.name = Stem() + L" " + std::to_wstring(n);
            const int id = m_store.AddProfile(p);
            if (n == 1) {
                firstId = id;
                m_store.WriteDefaultConfig();
            }
        }
        m_store.SetActiveProfile(firstId);
        m_store.GetProfiles(profiles);
    }
    std::vector<Item> items;
    const int language = GetCurrentLanguageId();
    const std::wstring stem = Stem();
    for (const ProfileData& p : profiles)
        items.push_back({GetProfileDisplayName(p.name, language, stem), p.profile});

    activeId = m_store.GetActiveProfile();
    if (activeId == 0 && !items.empty()) {
        activeId = items.front().id;
        m_store.SetActiveProfile(activeId);
    }
    return items;
}

void ProfileManager::ShowProfileList(const std::vector<Item>& items, int activeId)
{
    m_list.DeleteAllItems();
    for (const Item& item : items)
        m_list.AddString(item.text, item.id, kNoImage);
    m_currentProfileId = activeId;
    m_list.SetCurData(m_currentProfileId);
    m_currentLayer = 0;
    m_host.ReloadKeyPage(m_currentProfileId);
}

void ProfileManager::LoadProfileList()
{
    int activeId = 0;
    const std::vector<Item> items = ReadProfileList(activeId);
    ShowProfileList(items, activeId);
}

void ProfileManager::AddProfileItem()
{
    if (m_list.GetItemCount() >= kMaxProfiles) {
        m_host.ShowMessageBox(GetLanguageText(295), GetLanguageText(kProfileStemText), MessageStyle::OneButton);
        return;
    }
    ProfileData p;
    p.name = MakeUniqueName(Stem(), m_list);
    const int id = m_store.AddProfile(p);
    if (id <= 0)
        return;
    const int index = m_list.AddString(p.name, id, kNoImage);
    m_list.SetCurSel(index);
    Activate(id);
}

void ProfileManager::DeleteProfileItem()
{
    const int sel = m_list.GetCurSel();
    if (m_list.GetItemCount() <= 1 || sel < 0)
        return;
    if (m_host.ShowMessageBox(GetLanguageText(290), GetLanguageText(291), MessageStyle::TwoButtons) == 2)
        return;
    if (!m_store.DeleteProfile(static_cast<int>(m_list.GetItemData(sel))))
        return;
    m_list.DeleteItem(sel);
    m_list.SetCurSel(sel > 0 ? sel - 1 : 0);
    m_currentProfileId = static_cast<int>(m_list.GetItemData(m_list.GetCurSel()));
    m_host.ReloadKeyPage(m_currentProfileId);
    // A deleted profile's keys may still be on the keyboard: upload instead of refreshing the table.
    m_host.QueueProfileUpload();
}

void ProfileManager::BeginRenameProfile() { m_list.ShowEdit(); }

void ProfileManager::OnProfileListNotify(int code)
{
    const int sel = m_list.GetCurSel();
    if (code == kNotifyClick) {
        if (sel < 0) {
            m_host.EnableKeyPicture(false);
            return;
        }
        m_host.EnableKeyPicture(true);
        m_currentProfileId = static_cast<int>(m_list.GetItemData(sel));
        m_store.SetActiveProfile(m_currentProfileId);
        m_host.ReloadKeyPage(m_currentProfileId);
        m_host.RefreshKeyTable(m_currentProfileId);
    } else if (code == kNotifyEditEnd && sel >= 0) {
        const int id = static_cast<int>(m_list.GetItemData(sel));
        const std::wstring text = m_list.GetItemText(sel);
        if (text.empty() || IsBlockedName(text)) {
            m_host.ShowMessageBox(GetLanguageText(330), GetLanguageText(33), MessageStyle::OneButton);
            std::wstring stored;
            m_store.GetProfileName(id, stored);
            m_list.ModifyItemString(sel, stored);
        } else {
            m_store.RenameProfile(id, text);
        }
    }
}

void ProfileManager::AddImportedProfile(const std::wstring& name, int id)
{
    const int index = m_list.AddString(name, id, kNoImage);
    m_list.SetCurSel(index);
    m_store.SetActiveProfile(id);
    Activate(id);
}

void ProfileManager::Activate(int id)
{
    m_currentProfileId = id;
    m_host.ReloadKeyPage(id);
    m_host.RefreshKeyTable(id);
}
