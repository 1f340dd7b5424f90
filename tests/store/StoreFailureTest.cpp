// Without an open database every operation reports failure and touches no output.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

using storetest::TempDir;

namespace {

struct Operation {
    const char* name;
    std::function<bool(DataStore&)> failed; // true when the failure value came back
};

template <typename Record>
bool EmptiedList(int count, const std::vector<Record>& list)
{
    return count == 0 && list.empty();
}

const Operation kOperations[] = {
    {"AddProfile", [](DataStore& s) { return s.AddProfile({0, L"p", L"", 0, 0}) == 0; }},
    {"DeleteProfile", [](DataStore& s) { return !s.DeleteProfile(1); }},
    {"RenameProfile", [](DataStore& s) { return !s.RenameProfile(1, L"n"); }},
    {"GetProfileName", [](DataStore& s) { std::wstring n = L"x"; return !s.GetProfileName(1, n) && n.empty(); }},
    {"GetProfiles", [](DataStore& s) { std::vector<ProfileData> l(1); return EmptiedList(s.GetProfiles(l), l); }},
    {"SetActiveProfile", [](DataStore& s) { return !s.SetActiveProfile(1); }},
    {"GetActiveProfile", [](DataStore& s) { return s.GetActiveProfile() == 0; }},
    {"SaveKeyAssignment", [](DataStore& s) { return s.SaveKeyAssignment({0, 1, 0, 4, 0, L"", 1, 5, 0, 0, L""}) == 0; }},
    {"GetKeyAssignment", [](DataStore& s) {
         KeyMacroData k;
         k.macro_value = 77;
         return !s.GetKeyAssignment(1, 0, 4, k) && k.macro_value == 77;
     }},
    {"GetLayerAssignments", [](DataStore& s) { std::vector<KeyMacroData> l(1); return EmptiedList(s.GetLayerAssignments(1, 0, l), l); }},
    {"AddKeyOtherData", [](DataStore& s) { return s.AddKeyOtherData(L"d", L"p", 8) == 0; }},
    {"GetKeyOtherData", [](DataStore& s) {
         std::wstring d = L"d", p = L"p";
         int t = 3;
         return !s.GetKeyOtherData(1, d, p, t) && d == L"d" && p == L"p" && t == 3;
     }},
    {"AddMacro", [](DataStore& s) { return s.AddMacro(L"m") == 0; }},
    {"AddMacroWithSettings", [](DataStore& s) { return s.AddMacroWithSettings({0, L"m", 0, 1, 1, 0}) == 0; }},
    {"RenameMacro", [](DataStore& s) { return !s.RenameMacro(1, L"n"); }},
    {"UpdateMacroSettings", [](DataStore& s) { return !s.UpdateMacroSettings({1, L"m", 0, 1, 1, 0}); }},
    {"DeleteMacro", [](DataStore& s) { return !s.DeleteMacro(1); }},
    {"GetMacroPlayTimes", [](DataStore& s) { int t = 9; return !s.GetMacroPlayTimes(1, t) && t == 9; }},
    {"GetMacro", [](DataStore& s) { MacroData m; m.name = L"k"; return !s.GetMacro(1, m) && m.name == L"k"; }},
    {"GetMacros", [](DataStore& s) { std::vector<MacroData> l(1); return EmptiedList(s.GetMacros(l), l); }},
    {"AddMacroEvent", [](DataStore& s) { return s.AddMacroEvent({0, 1, 2, 0, 65, 0, L""}) == 0; }},
    {"SaveMacroEvents", [](DataStore& s) { return s.SaveMacroEvents({{0, 1, 2, 0, 65, 0, L""}}) == 0; }},
    {"GetMacroEvents", [](DataStore& s) { std::vector<MacroRecordData> l(1); return EmptiedList(s.GetMacroEvents(1, l), l); }},
    {"DeleteMacroEvents", [](DataStore& s) { return !s.DeleteMacroEvents(1); }},
    {"CountMacroActions", [](DataStore& s) { return s.CountMacroActions(1) == 0; }},
    {"CountLights", [](DataStore& s) { return s.CountLights(1) == 0; }},
    {"AddLight", [](DataStore& s) { return s.AddLight({0, 1, L"l", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}) == 0; }},
    {"UpdateLight", [](DataStore& s) { return !s.UpdateLight(1, 1, {}); }},
    {"SetActiveLight", [](DataStore& s) { return !s.SetActiveLight(1, 1); }},
    {"GetActiveLightMode", [](DataStore& s) { return s.GetActiveLightMode(1) == 0; }},
    {"GetLight", [](DataStore& s) { LightData l; l.speed = 5; return !s.GetLight(1, 1, l) && l.speed == 5; }},
    {"GetLights", [](DataStore& s) { std::vector<LightData> l(1); return EmptiedList(s.GetLights(1, l), l); }},
    {"SaveKeyLights", [](DataStore& s) { return s.SaveKeyLights({{0, 1, 128, 4, 255}}) == 0; }},
    {"DeleteKeyLights", [](DataStore& s) { return !s.DeleteKeyLights(); }},
    {"GetKeyLights", [](DataStore& s) { std::vector<KeyLightData> l(1); return EmptiedList(s.GetKeyLights(128, l), l); }},
    {"CountMusicLayers", [](DataStore& s) { return s.CountMusicLayers() == 0; }},
    {"AddMusicLayer", [](DataStore& s) { return s.AddMusicLayer(L"m", 1) == 0; }},
    {"GetMusicLayer", [](DataStore& s) { MusicLayerData m; m.foremode = 6; return !s.GetMusicLayer(1, m) && m.foremode == 6; }},
    {"UpdateMusicLayer", [](DataStore& s) { return !s.UpdateMusicLayer({}); }},
    {"SelectMusicLayer", [](DataStore& s) { return !s.SelectMusicLayer(); }},
    {"GetSelectedMusicLayer", [](DataStore& s) { return s.GetSelectedMusicLayer() == 0; }},
};

// Fills one row into each table so that a working connection could not return failure values.
void FillEveryTable(DataStore& s)
{
    const int profile = s.AddProfile({0, L"p", L"", 0, 0});
    s.SetActiveProfile(profile);
    s.SaveKeyAssignment({0, 1, 0, 4, 0, L"", 1, 5, 0, 0, L""});
    s.AddKeyOtherData(L"d", L"p", 8);
    const int macro = s.AddMacro(L"m");
    s.SaveMacroEvents({{0, macro, 2, 0, 65, 0, L""}});
    s.AddLight({0, 1, L"l", 1, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    s.SaveKeyLights({{0, 1, 128, 4, 255}});
    s.AddMusicLayer(L"m", 1);
    s.SelectMusicLayer();
}

void ExpectEveryOperationFails(DataStore& store)
{
    for (const Operation& op : kOperations)
        EXPECT_TRUE(op.failed(store)) << op.name;
}

TEST(StoreWithoutDatabase, NeverOpened)
{
    DataStore store;
    EXPECT_FALSE(store.IsOpened());
    ExpectEveryOperationFails(store);
}

TEST(StoreWithoutDatabase, Closed)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), L"K100"));
    FillEveryTable(store);
    store.CloseDatabase();
    ExpectEveryOperationFails(store);
}

TEST(StoreWithoutDatabase, FolderCannotBeCreated)
{
    TempDir dir;
    std::ofstream(dir.Path() / "file") << "x";
    DataStore store;
    EXPECT_FALSE(store.OpenDeviceDatabase(dir.WithSlash() + L"file/", L"K100"));
    EXPECT_FALSE(store.IsOpened());
    ExpectEveryOperationFails(store);
}

TEST(StoreWithoutDatabase, MissingTablesFailLikeAClosedFile)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), L"K100"));
    store.CloseDatabase();
    const std::filesystem::path file = dir.Path() / "db" / "K100_data_v1.db";
    for (const char* table : {"t_profile_data", "t_key_macro_data", "t_key_otherdata", "t_macro_data", "t_macrorecord",
                              "t_light_data", "t_key_light_data", "t_musiclayer_data"})
        storetest::RawQuery(file, std::string("DROP TABLE ") + table);
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), L"K100"));
    ExpectEveryOperationFails(store);
}

} // namespace
