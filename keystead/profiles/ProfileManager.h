#pragma once
#include <string>
#include <vector>

class DataStore;
class ItemListView;
class ProfileHost;

// The profile list of the key page: its store rules, adding, deleting, renaming and activation.
class ProfileManager {
public:
    static constexpr int kMaxProfiles = 200;
    static constexpr int kProfileStemText = 65;

    struct Item {
        std::wstring text;  // display name
        int id = 0;
    };

    ProfileManager(DataStore& store, ItemListView& list, ProfileHost& host);

    int CurrentProfileId() const { return m_currentProfileId; }
    int CurrentLayer() const { return m_currentLayer; }

    // The store half of loading the list (may run on the worker thread): creates the three default
    // profiles of an empty database and makes sure one profile is marked active. Returns the items
    // and sets `activeId`.
    std::vector<Item> ReadProfileList(int& activeId);
    // The list half: fills the list, selects the active profile and shows it on the key page.
    void ShowProfileList(const std::vector<Item>& items, int activeId);
    void LoadProfileList();

    void AddProfileItem();
    void DeleteProfileItem();
    void BeginRenameProfile();
    // Notification 2 (selection) and 29 (in-place rename ended) of the list.
    void OnProfileListNotify(int code);

    // Appends a profile made elsewhere (an import), selects it, marks it active and activates it.
    void AddImportedProfile(const std::wstring& name, int id);

private:
    void Activate(int id);

    DataStore& m_store;
    ItemListView& m_list;
    ProfileHost& m_host;
    int m_currentProfileId = 0;
    int m_currentLayer = 0;
};
