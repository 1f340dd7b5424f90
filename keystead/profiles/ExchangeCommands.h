#pragma once
#include <string>

class DataStore;
class ItemListView;
class ProfileHost;
class ProfileManager;

// The import and export buttons of the key page and the macro page, after the file dialog
// has given a path. Each returns whether a file was written or read.
class ExchangeCommands {
public:
    ExchangeCommands(DataStore& store, ProfileManager& profiles, ItemListView& profileList, ItemListView& macroList,
                     ProfileHost& host);

    // The selected profile; without a selection a message is shown and nothing is written.
    bool ExportProfile(const std::wstring& path);
    // Imports the macros and the profile of a file, lists them and activates the profile.
    bool ImportProfile(const std::wstring& path);
    // The selected macro; without a selection a message is shown and nothing is written.
    bool ExportMacro(const std::wstring& path);
    // Imports a macro file and appends the macro to the macro list.
    bool ImportMacro(const std::wstring& path);

private:
    DataStore& m_store;
    ProfileManager& m_profiles;
    ItemListView& m_profileList;
    ItemListView& m_macroList;
    ProfileHost& m_host;
};
