#include "profiles/ExchangeCommands.h"
#include "profiles/ExchangeFiles.h"
#include "profiles/ProfileManager.h"
#include "store/DataStore.h"
#include "support/TestLanguage.h"

#include "ListDoubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testdoubles::Host;
using testdoubles::ItemList;
using Items = std::vector<ItemList::Item>;

std::string Fixture(const std::string& name)
{
    return testenv::ReadFile(std::string(KEYSTEAD_FIXTURES_DIR) + "/exchange/" + name).value_or("");
}

const std::wstring kUnicodeName = L"Ünïcode 宏 & <x>";

void AddEvents(DataStore& store, int macroId, const std::wstring& desc, int vk, int delay)
{
    store.AddMacroEvent({0, macroId, 2, 0, vk, delay, desc});
    store.AddMacroEvent({0, macroId, 3, 1, vk, 0, desc});
}

KeyMacroData Key(int profile, int layer, int code, int type, int value, const std::wstring& desc)
{
    KeyMacroData k;
    k.profile = profile;
    k.fn_layer = layer;
    k.key_code = code;
    k.macro_type = type;
    k.macro_value = value;
    k.macro_desc = desc;
    return k;
}

std::vector<std::wstring> MacroNames(DataStore& store)
{
    std::vector<MacroData> macros;
    store.GetMacros(macros);
    std::vector<std::wstring> names;
    for (const MacroData& m : macros)
        names.push_back(m.name);
    return names;
}

std::vector<std::vector<int>> KeyRows(DataStore& store, int profile, int layer = 0)
{
    std::vector<KeyMacroData> keys;
    store.GetLayerAssignments(profile, layer, keys);
    std::vector<std::vector<int>> rows;
    for (const KeyMacroData& k : keys)
        rows.push_back({k.key_code, k.macro_type, k.macro_value});
    return rows;
}

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.OpenDatabaseFile(L":memory:"));
        ASSERT_TRUE(other.OpenDatabaseFile(L":memory:"));
    }
    // The data of the fixture files.
    int FillFixtureProfile()
    {
        ProfileData p;
        p.name = L"Gaming 配置";
        const int profile = store.AddProfile(p);
        MacroData m1{0, L"Macro 1", 0, 2, 1, 0};
        MacroData m2{0, kUnicodeName, 0, 1, 3, 25};
        AddEvents(store, store.AddMacroWithSettings(m1), L"A", 65, 120);
        AddEvents(store, store.AddMacroWithSettings(m2), L"Ctrl", 162, 25);
        KeyMacroData macroKey = Key(profile, 0, 58, 3, 1, L"Macro 1");
        macroKey.layout_value = 3;
        macroKey.layout_desc = L"x&y";
        store.SaveKeyAssignment(Key(profile, 0, 41, 2, 4, L"A"));
        store.SaveKeyAssignment(macroKey);
        store.SaveKeyAssignment(Key(profile, 0, 59, 3, 2, kUnicodeName));
        store.SaveKeyAssignment(Key(profile, 0, 60, 1, 1, L"Disabled"));
        store.SaveKeyAssignment(Key(profile, 0, 61, 5, 3, L"Right"));
        store.SaveKeyAssignment(Key(profile, 0, 62, 7, 10, L"Alt+Tab"));
        store.SaveKeyAssignment(Key(profile, 1, 63, 2, 5, L"Fn layer"));  // not exported
        return profile;
    }
    std::wstring Path(const std::string& name) { return platform::FromUtf8(dir / name); }

    testenv::ScopedLanguage language{1033, "151=Select a profile\n152=Export\n540=Select a macro\n541=Export macro\n"};
    testenv::TempFolder dir;
    DataStore store;
    DataStore other;
};

TEST_F(ExchangeTest, ProfileFileBytes)
{
    const int profile = FillFixtureProfile();
    EXPECT_EQ(BuildProfileFile(store, profile, L"Gaming 配置"), Fixture("profile.xml"));
    ASSERT_TRUE(ExportProfile(store, profile, L"Gaming 配置", Path("out.xml")));
    EXPECT_EQ(testenv::ReadFile(dir / "out.xml"), Fixture("profile.xml"));
}

TEST_F(ExchangeTest, MacroFileBytes)
{
    FillFixtureProfile();
    EXPECT_EQ(BuildMacroFile(store, 2), Fixture("macro.xml"));
}

TEST_F(ExchangeTest, ExportImportExportGivesTheSameBytes)
{
    const int profile = FillFixtureProfile();
    ASSERT_TRUE(ExportProfile(store, profile, L"Gaming 配置", Path("Gaming 配置.xml")));
    const ProfileImport imported = ImportProfile(other, Path("Gaming 配置.xml"));
    ASSERT_TRUE(imported.readable);
    EXPECT_EQ(imported.name, L"Gaming 配置");
    ASSERT_EQ(imported.macros.size(), 2u);
    EXPECT_EQ(imported.macros[1].name, kUnicodeName);
    EXPECT_EQ(BuildProfileFile(other, imported.profileId, imported.name), Fixture("profile.xml"));
    // The Fn layer did not travel.
    EXPECT_TRUE(KeyRows(other, imported.profileId, 1).empty());

    ASSERT_TRUE(ExportMacro(store, 2, Path("m.xml")));
    DataStore third;
    ASSERT_TRUE(third.OpenDatabaseFile(L":memory:"));
    const ImportedMacro macro = ImportMacro(third, Path("m.xml"));
    EXPECT_EQ(macro.name, L"m");
    ASSERT_GT(macro.id, 0);
    third.RenameMacro(macro.id, kUnicodeName);
    EXPECT_EQ(BuildMacroFile(third, macro.id), Fixture("macro.xml"));
}

TEST_F(ExchangeTest, NamesComeFromTheFileName)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"/home/u/Race.xml", L"Race"},
        {L"/home/u/Race.v2.xml", L"Race"},
        {L"C:\\Users\\u\\Ünï.xml", L"Ünï"},
        {L"/a.b/Race", L"Race"},
        {L"Race", L"Race"},
        {L"/home/u/.xml", L""},
    };
    for (auto [path, name] : cases)
        EXPECT_EQ(NameFromFileName(path), name) << path;
}

TEST_F(ExchangeTest, ThreeKeysOnOneMacroImportThreeMacros)
{
    ProfileData p;
    p.name = L"P";
    const int profile = store.AddProfile(p);
    const int macro = store.AddMacroWithSettings({0, L"Burst", 0, 1, 1, 0});
    AddEvents(store, macro, L"B", 66, 10);
    for (int code : {10, 11, 12})
        store.SaveKeyAssignment(Key(profile, 0, code, 3, macro, L"Burst"));
    const std::string text = BuildProfileFile(store, profile, L"P");
    size_t infos = 0;
    for (size_t at = text.find("<macroinfo name=\"Burst\" macro_id=\"1\""); at != std::string::npos;
         at = text.find("<macroinfo name=\"Burst\" macro_id=\"1\"", at + 1))
        ++infos;
    EXPECT_EQ(infos, 3u);

    const ProfileImport imported = ImportProfileText(other, text, L"x/Burst keys.v1.xml");
    EXPECT_EQ(imported.name, L"Burst keys");
    EXPECT_EQ(MacroNames(other), (std::vector<std::wstring>{L"Burst", L"Burst", L"Burst"}));
    // The map holds the last macro made for file id 1.
    EXPECT_EQ(KeyRows(other, imported.profileId), (std::vector<std::vector<int>>{{10, 3, 3}, {11, 3, 3}, {12, 3, 3}}));
    std::vector<MacroRecordData> events;
    EXPECT_EQ(other.GetMacroEvents(3, events), 2);
}

TEST_F(ExchangeTest, ExistingMacroNamesAreNotImportedAgain)
{
    const int profile = FillFixtureProfile();
    const std::string text = BuildProfileFile(store, profile, L"Gaming");
    const ProfileImport first = ImportProfileText(other, text, L"Gaming.xml");
    const ProfileImport second = ImportProfileText(other, text, L"Gaming.xml");
    EXPECT_EQ(first.macros.size(), 2u);
    EXPECT_TRUE(second.macros.empty());
    EXPECT_EQ(MacroNames(other), (std::vector<std::wstring>{L"Macro 1", kUnicodeName}));
    EXPECT_NE(first.profileId, second.profileId);
    std::wstring name;
    other.GetProfileName(second.profileId, name);
    EXPECT_EQ(name, L"Gaming");
    // The second profile's keys play the macros of the same name that were there already.
    EXPECT_EQ(KeyRows(other, second.profileId), KeyRows(other, first.profileId));
}

TEST_F(ExchangeTest, KeysOfSkippedMacrosPlayTheExistingMacroOfThatName)
{
    other.AddMacroWithSettings({0, L"Unrelated", 0, 1, 1, 0});
    const int existing = other.AddMacroWithSettings({0, L"Burst", 0, 1, 1, 0});
    const std::string text = R"(<profile><keyitems>
        <item key_code="10" macro_type="3" macro_value="1"/>
        <item key_code="11" macro_type="3" macro_value="77"/>
        <item key_code="12" macro_type="2" macro_value="1"/>
        </keyitems><macroinfo name="Burst" macro_id="1"/></profile>)";
    const ProfileImport imported = ImportProfileText(other, text, L"p.xml");
    EXPECT_TRUE(imported.macros.empty());
    EXPECT_EQ(KeyRows(other, imported.profileId),
              (std::vector<std::vector<int>>{{10, 3, existing}, {11, 3, 77}, {12, 2, 1}}));
}

TEST_F(ExchangeTest, ProfileWithOnlyFnLayerKeysHasEmptyKeyItems)
{
    ProfileData p;
    p.name = L"Fn";
    const int profile = store.AddProfile(p);
    store.SaveKeyAssignment(Key(profile, 1, 30, 2, 4, L"A"));
    EXPECT_EQ(BuildProfileFile(store, profile, L"Fn"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n\t<profileinfo name=\"Fn\"/>\r\n"
              "\t<keyitems/>\r\n</profile>\r\n");
}

TEST_F(ExchangeTest, MissingMacroIsWrittenEmpty)
{
    ProfileData p;
    p.name = L"P";
    const int profile = store.AddProfile(p);
    store.SaveKeyAssignment(Key(profile, 0, 30, 3, 42, L"gone"));
    const std::string text = BuildProfileFile(store, profile, L"P");
    EXPECT_NE(text.find("\t<macroinfo name=\"\" macro_id=\"0\" times=\"0\" type=\"0\" delaytime=\"0\">\r\n"
                        "\t\t<macroitems/>\r\n\t</macroinfo>\r\n"),
              std::string::npos)
        << text;
}

TEST_F(ExchangeTest, UnreadableFilesImportNothing)
{
    const std::string cases[] = {
        "",
        "plain text",
        "<profile><keyitems><item key_code='4' macro_type='2' macro_value='5'></keyitems></profile>",
        "<macro><macroinfo times='1'/></macro>",
        "<Profile><keyitems><item key_code='4' macro_type='2' macro_value='5'/></keyitems></Profile>",
        std::string("\x00\x01\x02", 3),
    };
    for (const std::string& text : cases) {
        const ProfileImport result = ImportProfileText(other, text, L"bad.xml");
        EXPECT_FALSE(result.readable);
        EXPECT_EQ(result.profileId, 0);
    }
    for (const std::string& text : {cases[0], cases[1], std::string("<profile/>"), std::string("<macro")})
        EXPECT_EQ(ImportMacroText(other, text, L"bad.xml").id, 0);
    EXPECT_FALSE(ImportProfile(other, Path("missing.xml")).readable);
    std::vector<ProfileData> profiles;
    EXPECT_EQ(other.GetProfiles(profiles), 0);
    EXPECT_TRUE(MacroNames(other).empty());
}

TEST_F(ExchangeTest, HostileValuesAreBoundedAndCleaned)
{
    const std::string text =
        "<profile><keyitems>"
        "<item key_code='x' macro_type='2' macro_value='5'/>"                  // key code 0: not stored
        "<item key_code='4' macro_type='2'/>"                                  // no value: not stored
        "<item key_code='5' macro_type='2' macro_value='99999999999' macro_desc='a&#9;b&#10;c'/>"
        "<item key_code='-6' macro_type='-2' macro_value='-5'/>"
        "</keyitems>"
        "<macroinfo name='Ev&#1;il&#x7F;' macro_id='9' times='2147483647' type='-1' delaytime='-50'>"
        "<macroitems><item desc='K&#27;' type='2' value='65' delay_time='999999999'/>"
        "<item type='3' value='-1' delay_time='-7'/></macroitems></macroinfo>"
        "</profile>";
    const ProfileImport imported = ImportProfileText(other, text, L"h.xml");
    ASSERT_GT(imported.profileId, 0);
    std::vector<KeyMacroData> keys;
    other.GetLayerAssignments(imported.profileId, 0, keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].macro_value, 2147483647);
    EXPECT_EQ(keys[0].macro_desc, L"abc");
    EXPECT_EQ(keys[1].key_code, -6);

    ASSERT_EQ(imported.macros.size(), 1u);
    MacroData m;
    ASSERT_TRUE(other.GetMacro(imported.macros[0].id, m));
    EXPECT_EQ(m.name, L"Evil");
    EXPECT_EQ(m.play_times, 99);
    EXPECT_EQ(m.delay_time, 0);
    std::vector<MacroRecordData> events;
    other.GetMacroEvents(m.macro_id, events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].desc, L"K");
    EXPECT_EQ(events[0].delay_time, 99999);
    EXPECT_EQ(events[1].delay_time, 0);
    EXPECT_EQ(events[1].record_index, 1);
}

TEST_F(ExchangeTest, LargeFilesImportInBoundedWork)
{
    std::string text = "<profile><keyitems>";
    for (int i = 1; i <= 100000; ++i)
        text += "<item key_code='" + std::to_string(i % 300 + 1) + "' macro_type='3' macro_value='" +
                std::to_string(i % 3000) + "'/>";
    text += "</keyitems>";
    for (int i = 0; i < 3000; ++i)
        text += "<macroinfo name='m" + std::to_string(i % 2000) + "' macro_id='" + std::to_string(i) +
                "'><macroitems><item type='2' value='65'/></macroitems></macroinfo>";
    text += "</profile>";
    const ProfileImport imported = ImportProfileText(other, text, L"big.xml");
    // One row per key code survives; one macro per new name (names repeat after 2000 only among
    // the new ones, which are all imported).
    EXPECT_EQ(KeyRows(other, imported.profileId).size(), 300u);
    EXPECT_EQ(imported.macros.size(), 3000u);
}

TEST_F(ExchangeTest, CommandsActOnTheLists)
{
    ItemList profileList, macroList;
    Host host;
    ProfileManager profiles(other, profileList, host);
    ExchangeCommands commands(other, profiles, profileList, macroList, host);

    // Nothing selected: a message, no file.
    EXPECT_FALSE(commands.ExportProfile(Path("p.xml")));
    EXPECT_FALSE(commands.ExportMacro(Path("m.xml")));
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"system Export/Select a profile",
                                                     L"system Export macro/Select a macro"}));
    EXPECT_FALSE(testenv::ReadFile(dir / "p.xml").has_value());

    testenv::WriteFile(dir / "Race.v2.xml", Fixture("profile.xml"));
    host.calls.clear();
    ASSERT_TRUE(commands.ImportProfile(Path("Race.v2.xml")));
    EXPECT_EQ(macroList.items, (Items{{L"Macro 1", 1}, {kUnicodeName, 2}}));
    EXPECT_EQ(macroList.sel, 1);
    EXPECT_EQ(profileList.items, (Items{{L"Race", 1}}));
    EXPECT_EQ(profileList.sel, 0);
    EXPECT_EQ(profiles.CurrentProfileId(), 1);
    EXPECT_EQ(other.GetActiveProfile(), 1);
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"reload 1", L"table 1"}));

    ASSERT_TRUE(commands.ExportProfile(Path("again.xml")));
    std::string expected = Fixture("profile.xml");
    expected.replace(expected.find("Gaming 配置"), std::string("Gaming 配置").size(), "Race");
    EXPECT_EQ(testenv::ReadFile(dir / "again.xml"), expected);

    testenv::WriteFile(dir / "Single.xml", Fixture("macro.xml"));
    ASSERT_TRUE(commands.ImportMacro(Path("Single.xml")));
    EXPECT_EQ(macroList.items.back(), (ItemList::Item{L"Single", 3}));
    macroList.SetCurSel(2);
    ASSERT_TRUE(commands.ExportMacro(Path("Single out.xml")));
    std::string macroExpected = Fixture("macro.xml");
    const std::string original = platform::ToUtf8(L"Ünïcode 宏 &amp; &lt;x&gt;");
    macroExpected.replace(macroExpected.find(original), original.size(), "Single");
    EXPECT_EQ(testenv::ReadFile(dir / "Single out.xml"), macroExpected);

    EXPECT_FALSE(commands.ImportProfile(Path("Single.xml")));  // a macro file is not a profile file
    EXPECT_FALSE(commands.ImportMacro(Path("Race.v2.xml")));
}

} // namespace
