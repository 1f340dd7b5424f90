#include "profiles/ProfileManager.h"
#include "profiles/ProfileNames.h"
#include "store/DataStore.h"
#include "support/TestLanguage.h"

#include "ListDoubles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <vector>

namespace {

using testdoubles::Host;
using testdoubles::ItemList;
using Items = std::vector<ItemList::Item>;

TEST(MakeUniqueName, FirstFreeNumber)
{
    struct Case {
        std::vector<std::wstring> taken;
        const wchar_t* expected;
    };
    std::vector<std::wstring> all;
    for (int n = 1; n <= 1000; ++n)
        all.push_back(L"P " + std::to_wstring(n));
    const Case cases[] = {
        {{}, L"P 1"},
        {{L"P 1", L"P 3"}, L"P 2"},
        {{L"P 2", L"P 1", L"P 3"}, L"P 4"},
        {{L"p 1", L"P 1 ", L"P1"}, L"P 1"},  // whole, case-sensitive comparison
        {all, L"P 1000"},                    // every number taken: the last one regardless
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeUniqueName(L"P", c.taken), c.expected);

    ItemList list;
    list.AddString(L"P 1", 1, -1);
    EXPECT_EQ(MakeUniqueName(L"P", list), L"P 2");
}

TEST(IsBlockedName, MatchesAnywhereIgnoringLatinCase)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"Gaming", false}, {L"", false}, {L"fuck", true}, {L"My FUCKING profile", true}, {L"ShIt", true},
        {L"游戏傻逼配置", true}, {L"屌", true}, {L"配置方案 1", false}, {L"Profile 3", false},
    };
    for (auto [name, blocked] : cases)
        EXPECT_EQ(IsBlockedName(name), blocked) << name;
}

TEST(GetProfileDisplayName, StemOfTheCurrentLanguage)
{
    struct Case {
        const wchar_t* stored;
        int language;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"Profile 7", 2052, L"P 7"},       {L"Profile 7", 1046, L"P 7"},     {L"Profile 7", 1033, L"Profile 7"},
        {L"Perfil 7", 1046, L"Perfil 7"},   {L"Perfil 7", 2052, L"P 7"},      {L"Perfil 7", 1033, L"P 7"},
        {L"配置方案7", 1033, L"P7"},        {L"配置方案7", 1046, L"P7"},      {L"配置方案7", 2052, L"配置方案7"},
        {L"profile 7", 2052, L"profile 7"}, {L"Profile 7", 1031, L"Profile 7"}, {L"Profil", 2052, L"Profil"},
        {L"Profile", 2052, L"P"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetProfileDisplayName(c.stored, c.language, L"P"), c.shown) << c.stored << " " << c.language;
}

class ProfileManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.OpenDatabaseFile(dbPath)); }

    std::vector<std::wstring> StoredNames()
    {
        std::vector<ProfileData> profiles;
        store.GetProfiles(profiles);
        std::vector<std::wstring> names;
        for (const ProfileData& p : profiles)
            names.push_back(p.name);
        return names;
    }
    std::vector<std::string> ConfigKeys()
    {
        std::vector<std::string> keys;
        sqlite3* db = nullptr;
        sqlite3_open(platform::ToUtf8(dbPath).c_str(), &db);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT key FROM t_configdata", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            keys.push_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return keys;
    }
    // Loads the list and forgets the calls that made.
    void Loaded()
    {
        profiles.LoadProfileList();
        host.calls.clear();
    }

    testenv::ScopedLanguage language{1033, "65=Profile\n295=Too many\n290=Delete?\n291=Delete\n33=Name\n330=Bad name\n"};
    testenv::TempFolder dir;
    std::wstring dbPath = platform::FromUtf8(dir / "k_data_v1.db");
    DataStore store;
    ItemList list;
    Host host;
    ProfileManager profiles{store, list, host};
};

TEST_F(ProfileManagerTest, EmptyDatabaseGetsThreeDefaultProfiles)
{
    language.Switch(2052, "65=配置方案\n");
    profiles.LoadProfileList();
    EXPECT_EQ(StoredNames(), (std::vector<std::wstring>{L"配置方案 1", L"配置方案 2", L"配置方案 3"}));
    EXPECT_EQ(list.items, (Items{{L"配置方案 1", 1}, {L"配置方案 2", 2}, {L"配置方案 3", 3}}));
    EXPECT_EQ(store.GetActiveProfile(), 1);
    EXPECT_EQ(profiles.CurrentProfileId(), 1);
    EXPECT_EQ(list.sel, 0);
    EXPECT_EQ(host.calls, std::vector<std::wstring>{L"reload 1"});
    const std::vector<std::string> configKeys = {"version",   "keyboard_layout", "fn_layer",       "lightmode",
                                                 "sleep_light", "userlight",     "customlight_run", "gamemode",
                                                 "disable_alttab", "disable_altf4", "disable_win"};
    EXPECT_EQ(ConfigKeys(), configKeys);
    // Loading again neither adds profiles nor configuration rows; names show in the current language.
    language.Switch(1033, "65=Profile\n");
    profiles.LoadProfileList();
    EXPECT_EQ(list.items, (Items{{L"Profile 1", 1}, {L"Profile 2", 2}, {L"Profile 3", 3}}));
    EXPECT_EQ(ConfigKeys(), configKeys);
}

TEST_F(ProfileManagerTest, WithoutAnActiveMarkTheFirstProfileIsMarked)
{
    ProfileData p;
    p.name = L"Work";
    const int first = store.AddProfile(p);
    p.name = L"Games";
    store.AddProfile(p);
    profiles.LoadProfileList();
    EXPECT_EQ(profiles.CurrentProfileId(), first);
    EXPECT_EQ(store.GetActiveProfile(), first);
    EXPECT_TRUE(ConfigKeys().empty());
}

TEST_F(ProfileManagerTest, AddTakesTheFirstFreeNameAndActivates)
{
    Loaded();
    list.ModifyItemString(1, L"Mine");  // "Profile 2" is free again
    profiles.AddProfileItem();
    EXPECT_EQ(list.items.back(), (ItemList::Item{L"Profile 2", 4}));
    EXPECT_EQ(list.sel, 3);
    EXPECT_EQ(profiles.CurrentProfileId(), 4);
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"reload 4", L"table 4"}));
    EXPECT_EQ(store.GetActiveProfile(), 1) << "adding does not move the active mark";
}

TEST_F(ProfileManagerTest, TwoHundredProfilesAreTheLimit)
{
    Loaded();
    while (list.GetItemCount() < ProfileManager::kMaxProfiles)
        list.AddString(L"x", 999, -1);
    profiles.AddProfileItem();
    EXPECT_EQ(host.calls, std::vector<std::wstring>{L"box Profile/Too many 0"});
    EXPECT_EQ(StoredNames().size(), 3u);
}

TEST_F(ProfileManagerTest, DeleteRules)
{
    Loaded();
    // Refused at the prompt.
    list.SetCurSel(0);
    host.answer = 2;
    profiles.DeleteProfileItem();
    EXPECT_EQ(list.items.size(), 3u);
    // The first of several: the new first is selected and shown, and the keyboard gets it.
    host.answer = 1;
    host.calls.clear();
    profiles.DeleteProfileItem();
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"box Delete/Delete? 4", L"reload 2", L"upload"}));
    EXPECT_EQ(list.items, (Items{{L"Profile 2", 2}, {L"Profile 3", 3}}));
    EXPECT_EQ(list.sel, 0);
    EXPECT_EQ(profiles.CurrentProfileId(), 2);
    // A later one: the one before it.
    list.SetCurSel(1);
    profiles.DeleteProfileItem();
    EXPECT_EQ(list.items, (Items{{L"Profile 2", 2}}));
    EXPECT_EQ(list.sel, 0);
    // The last profile stays, without a question.
    host.calls.clear();
    profiles.DeleteProfileItem();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(StoredNames(), std::vector<std::wstring>{L"Profile 2"});
    // Without a selection nothing happens.
    list.AddString(L"x", 9, -1);
    list.SetCurSel(-1);
    profiles.DeleteProfileItem();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ProfileManagerTest, RenameRefusesBlockedAndEmptyNames)
{
    Loaded();
    struct Case {
        const wchar_t* typed;
        const wchar_t* stored;
        const wchar_t* shown;
        bool refused;
    };
    const Case cases[] = {
        {L"Racing", L"Racing", L"Racing", false},
        {L"SHITTY", L"Racing", L"Racing", true},
        {L"", L"Racing", L"Racing", true},
        {L"配置 x", L"配置 x", L"配置 x", false},
    };
    list.SetCurSel(1);
    for (const Case& c : cases) {
        host.calls.clear();
        list.ModifyItemString(1, c.typed);
        profiles.OnProfileListNotify(29);
        std::wstring stored;
        store.GetProfileName(2, stored);
        EXPECT_EQ(stored, c.stored) << c.typed;
        EXPECT_EQ(list.GetItemText(1), c.shown) << c.typed;
        EXPECT_EQ(host.calls.size(), c.refused ? 1u : 0u) << c.typed;
    }
    profiles.BeginRenameProfile();
    EXPECT_EQ(list.editRequests, 1);
}

TEST_F(ProfileManagerTest, SelectingActivates)
{
    Loaded();
    list.SetCurSel(2);
    profiles.OnProfileListNotify(2);
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"picture on", L"reload 3", L"table 3"}));
    EXPECT_EQ(store.GetActiveProfile(), 3);
    EXPECT_EQ(profiles.CurrentProfileId(), 3);

    host.calls.clear();
    list.SetCurSel(-1);
    profiles.OnProfileListNotify(2);
    EXPECT_EQ(host.calls, std::vector<std::wstring>{L"picture off"});
    EXPECT_EQ(profiles.CurrentProfileId(), 3);
}

} // namespace
