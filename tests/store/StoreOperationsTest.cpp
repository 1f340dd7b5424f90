// Every table operation on an in-memory database.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

class StoreOps : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.OpenDatabaseFile(L":memory:")); }

    KeyMacroData Key(int profile, int layer, int code, int type, int value, int value2 = 0)
    {
        return KeyMacroData{0, profile, layer, code, 7, L"layout", type, value, value2, 9, L"desc"};
    }

    MacroRecordData Event(int macro, int type, int index, int value = 0)
    {
        return MacroRecordData{0, macro, type, index, value, 10 * index, L"e" + std::to_wstring(index)};
    }

    DataStore store;
};

TEST_F(StoreOps, Profiles)
{
    // status and type are always written as 0, whatever the record says.
    const int first = store.AddProfile({0, L"One", L"app.exe", 5, 1});
    const int second = store.AddProfile({0, L"Two", L"", 0, 0});
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    std::vector<ProfileData> profiles(3); // stale entries are dropped
    ASSERT_EQ(store.GetProfiles(profiles), 2);
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].profile, 1);
    EXPECT_EQ(profiles[0].name, L"One");
    EXPECT_EQ(profiles[0].app, L"app.exe");
    EXPECT_EQ(profiles[0].type, 0);
    EXPECT_EQ(profiles[0].status, 0);

    EXPECT_EQ(store.GetActiveProfile(), 0);
    EXPECT_TRUE(store.SetActiveProfile(first));
    EXPECT_TRUE(store.SetActiveProfile(second)); // moves the mark, never two
    EXPECT_EQ(store.GetActiveProfile(), second);
    store.GetProfiles(profiles);
    EXPECT_EQ(profiles[0].status, 0);
    EXPECT_EQ(profiles[1].status, 1);

    EXPECT_TRUE(store.RenameProfile(first, L"Uno"));
    std::wstring name = L"stale";
    EXPECT_TRUE(store.GetProfileName(first, name));
    EXPECT_EQ(name, L"Uno");

    EXPECT_TRUE(store.DeleteProfile(first));
    name = L"stale";
    EXPECT_FALSE(store.GetProfileName(first, name));
    EXPECT_EQ(name, L""); // emptied even when not found
    EXPECT_EQ(store.GetProfiles(profiles), 1);
}

TEST_F(StoreOps, DeletingAProfileLeavesItsAssignmentsAndLights)
{
    const int profile = store.AddProfile({0, L"p", L"", 0, 0});
    ASSERT_NE(store.SaveKeyAssignment(Key(profile, 0, 4, 1, 5)), 0);
    ASSERT_NE(store.AddLight({0, profile, L"l", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0);
    ASSERT_TRUE(store.DeleteProfile(profile));
    KeyMacroData key;
    EXPECT_TRUE(store.GetKeyAssignment(profile, 0, 4, key));
    EXPECT_EQ(store.CountLights(profile), 1);
}

TEST_F(StoreOps, KeyAssignmentRoundTrip)
{
    const KeyMacroData saved{0, 2, 1, 0x2C, 44, L"Space ✓", 3, 17, 18, 19, L"Makro »1«"};
    const int id = store.SaveKeyAssignment(saved);
    ASSERT_NE(id, 0);
    KeyMacroData back;
    ASSERT_TRUE(store.GetKeyAssignment(2, 1, 0x2C, back));
    EXPECT_EQ(back.key_id, id);
    EXPECT_EQ(std::make_tuple(back.profile, back.fn_layer, back.key_code, back.layout_value, back.layout_desc, back.macro_type,
                       back.macro_value, back.macro_value2, back.macro_value3, back.macro_desc),
              std::make_tuple(saved.profile, saved.fn_layer, saved.key_code, saved.layout_value, saved.layout_desc,
                       saved.macro_type, saved.macro_value, saved.macro_value2, saved.macro_value3, saved.macro_desc));

    KeyMacroData untouched;
    untouched.macro_desc = L"keep";
    EXPECT_FALSE(store.GetKeyAssignment(2, 0, 0x2C, untouched)); // other layer
    EXPECT_FALSE(store.GetKeyAssignment(1, 1, 0x2C, untouched)); // other profile
    EXPECT_EQ(untouched.macro_desc, L"keep");
}

TEST_F(StoreOps, SavingKeyAssignments)
{
    struct Case {
        const char* what;
        KeyMacroData save;
        bool rowId;        // a new row id is returned
        int rowsOfKeyAfter; // rows of (profile 1, layer 0, key 4) afterwards
        int macroValueAfter;
    };
    const Case cases[] = {
        {"key code 0 changes nothing", Key(1, 0, 0, 1, 99), false, 1, 5},
        {"replacing keeps one row", Key(1, 0, 4, 1, 6), true, 1, 6},
        {"second value alone is an assignment", Key(1, 0, 4, 2, 0, 0xE9), true, 1, 0},
        {"both values 0 only deletes", Key(1, 0, 4, 1, 0, 0), false, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataStore fresh;
        ASSERT_TRUE(fresh.OpenDatabaseFile(L":memory:"));
        ASSERT_NE(fresh.SaveKeyAssignment(Key(1, 0, 4, 1, 5)), 0);
        ASSERT_NE(fresh.SaveKeyAssignment(Key(1, 0, 5, 1, 5)), 0); // a neighbour that must survive
        ASSERT_NE(fresh.SaveKeyAssignment(Key(2, 0, 4, 1, 5)), 0); // same key, other profile

        const int result = fresh.SaveKeyAssignment(c.save);
        EXPECT_EQ(result != 0, c.rowId) << result;
        std::vector<KeyMacroData> rows;
        fresh.GetLayerAssignments(1, 0, rows);
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const KeyMacroData& k) { return k.key_code == 4; }),
                  c.rowsOfKeyAfter);
        EXPECT_EQ(rows.size(), 1u + c.rowsOfKeyAfter);
        KeyMacroData key;
        key.macro_value = -1;
        fresh.GetKeyAssignment(1, 0, 4, key);
        EXPECT_EQ(key.macro_value, c.macroValueAfter);
        EXPECT_TRUE(fresh.GetKeyAssignment(2, 0, 4, key));
        if (c.rowId) {
            EXPECT_EQ(result, rows.back().key_id);
        }
    }
}

TEST_F(StoreOps, LayerAssignmentsSelectProfileAndLayer)
{
    for (int code = 4; code < 8; ++code)
        store.SaveKeyAssignment(Key(1, 0, code, 1, code));
    store.SaveKeyAssignment(Key(1, 1, 4, 1, 1));
    store.SaveKeyAssignment(Key(2, 0, 4, 1, 1));
    std::vector<KeyMacroData> keys;
    ASSERT_EQ(store.GetLayerAssignments(1, 0, keys), 4);
    for (const KeyMacroData& k : keys)
        EXPECT_EQ(std::make_tuple(k.profile, k.fn_layer, k.macro_value), std::make_tuple(1, 0, k.key_code));
    EXPECT_EQ(store.GetLayerAssignments(3, 0, keys), 0);
    EXPECT_TRUE(keys.empty());
}

TEST_F(StoreOps, KeyOtherData)
{
    const int first = store.AddKeyOtherData(L"notepad", L"/usr/bin/gedit", 8);
    const int second = store.AddKeyOtherData(L"Grüße, 世界", L"", 10);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    std::wstring desc, param;
    int type = 0;
    ASSERT_TRUE(store.GetKeyOtherData(second, desc, param, type));
    EXPECT_EQ(std::make_tuple(desc, param, type), std::make_tuple(L"Grüße, 世界", L"", 10));

    desc = L"d";
    param = L"p";
    type = 42;
    EXPECT_TRUE(store.GetKeyOtherData(99, desc, param, type));
    EXPECT_EQ(std::make_tuple(desc, param, type), std::make_tuple(L"d", L"p", 42));
}

TEST_F(StoreOps, MacroHeaders)
{
    const int plain = store.AddMacro(L"Combo");
    const int custom = store.AddMacroWithSettings({0, L"Custom", 4, 3, 2, 250});
    ASSERT_NE(plain, 0);
    ASSERT_NE(custom, 0);

    MacroData m;
    ASSERT_TRUE(store.GetMacro(plain, m));
    EXPECT_EQ(std::make_tuple(m.macro_id, m.name, m.link_count, m.play_times, m.delay_type, m.delay_time),
              std::make_tuple(plain, L"Combo", 0, 1, 1, 0));
    ASSERT_TRUE(store.GetMacro(custom, m));
    EXPECT_EQ(std::make_tuple(m.name, m.link_count, m.play_times, m.delay_type, m.delay_time),
              std::make_tuple(L"Custom", 4, 3, 2, 250));

    // Settings update writes only play_times, delay_type, delay_time.
    EXPECT_TRUE(store.UpdateMacroSettings({custom, L"ignored", 9, 7, 3, 40}));
    EXPECT_TRUE(store.RenameMacro(custom, L"Renamed"));
    ASSERT_TRUE(store.GetMacro(custom, m));
    EXPECT_EQ(std::make_tuple(m.name, m.link_count, m.play_times, m.delay_type, m.delay_time),
              std::make_tuple(L"Renamed", 4, 7, 3, 40));

    int times = -1;
    EXPECT_TRUE(store.GetMacroPlayTimes(custom, times));
    EXPECT_EQ(times, 7);
    times = -1;
    EXPECT_FALSE(store.GetMacroPlayTimes(999, times));
    EXPECT_EQ(times, -1);
    EXPECT_FALSE(store.GetMacro(999, m));

    std::vector<MacroData> macros;
    ASSERT_EQ(store.GetMacros(macros), 2);
    EXPECT_EQ(macros[0].macro_id, plain);
    EXPECT_EQ(macros[1].name, L"Renamed");
}

TEST_F(StoreOps, MacroEventsComeBackInRecordOrder)
{
    const int macro = store.AddMacro(L"m");
    const int other = store.AddMacro(L"other");
    // Inserted out of order, split between single inserts and one batch.
    EXPECT_NE(store.AddMacroEvent(Event(macro, 2, 3, 0x41)), 0);
    EXPECT_EQ(store.SaveMacroEvents({Event(macro, 1, 1), Event(macro, 3, 0, 0x41), Event(other, 2, 0),
                                     Event(macro, 1, 2)}),
              4);
    EXPECT_EQ(store.SaveMacroEvents({}), 0);

    std::vector<MacroRecordData> events;
    ASSERT_EQ(store.GetMacroEvents(macro, events), 4);
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].record_index, static_cast<int>(i));
        EXPECT_EQ(events[i].delay_time, 10 * events[i].record_index);
        EXPECT_EQ(events[i].desc, L"e" + std::to_wstring(i));
        EXPECT_EQ(events[i].macro_id, macro);
    }
    EXPECT_EQ(std::make_tuple(events[3].type, events[3].value), std::make_tuple(2, 0x41));

    // Type 1 events are delays, not actions.
    EXPECT_EQ(store.CountMacroActions(macro), 2);
    store.SaveMacroEvents({Event(other + 1, 1, 0), Event(other + 1, 1, 1)});
    EXPECT_EQ(store.CountMacroActions(other + 1), 0);

    // Saving adds; replacing is delete then save.
    EXPECT_TRUE(store.DeleteMacroEvents(macro));
    EXPECT_EQ(store.GetMacroEvents(macro, events), 0);
    EXPECT_EQ(store.GetMacroEvents(other, events), 1);
}

TEST_F(StoreOps, DeletingAMacroRemovesOnlyWhatPointsAtIt)
{
    const int macro = store.AddMacro(L"gone");
    const int kept = store.AddMacro(L"kept");
    store.SaveMacroEvents({Event(macro, 2, 0), Event(kept, 2, 0)});
    store.SaveKeyAssignment(Key(1, 0, 4, 3, macro));  // macro key, profile 1
    store.SaveKeyAssignment(Key(2, 1, 5, 3, macro));  // macro key, other profile and layer
    store.SaveKeyAssignment(Key(1, 0, 6, 1, macro));  // a plain key whose value equals the id
    store.SaveKeyAssignment(Key(1, 0, 7, 8, macro));  // a launch key whose value equals the id
    store.SaveKeyAssignment(Key(1, 0, 8, 3, kept));   // another macro's key

    EXPECT_TRUE(store.DeleteMacro(macro));

    MacroData m;
    EXPECT_FALSE(store.GetMacro(macro, m));
    EXPECT_TRUE(store.GetMacro(kept, m));
    std::vector<MacroRecordData> events;
    EXPECT_EQ(store.GetMacroEvents(macro, events), 0);
    EXPECT_EQ(store.GetMacroEvents(kept, events), 1);
    KeyMacroData key;
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 4, key));
    EXPECT_FALSE(store.GetKeyAssignment(2, 1, 5, key));
    EXPECT_TRUE(store.GetKeyAssignment(1, 0, 6, key));
    EXPECT_TRUE(store.GetKeyAssignment(1, 0, 7, key));
    EXPECT_TRUE(store.GetKeyAssignment(1, 0, 8, key));
}

TEST_F(StoreOps, Lights)
{
    const LightData wave{0, 1, L"Wave", 3, 4, 2, 1, 1, 5, 0x00FF8000, 6, 7, 0};
    const int id = store.AddLight(wave);
    ASSERT_NE(id, 0);
    store.AddLight({0, 1, L"Static", 1, 4, 0, 0, 0, 0, 0x0000FF, 0, 0, 1});
    store.AddLight({0, 2, L"Wave", 3, 1, 1, 1, 1, 1, 1, 1, 1, 0});

    LightData back;
    ASSERT_TRUE(store.GetLight(1, 3, back));
    EXPECT_EQ(std::make_tuple(back.light_id, back.profile, back.name, back.mode, back.brightness, back.speed, back.direction,
                       back.colorful, back.colorindex, back.color_value, back.config_func, back.reserved, back.status),
              std::make_tuple(id, wave.profile, wave.name, wave.mode, wave.brightness, wave.speed, wave.direction,
                       wave.colorful, wave.colorindex, wave.color_value, wave.config_func, wave.reserved, wave.status));
    EXPECT_FALSE(store.GetLight(1, 9, back));

    // The update writes the eight parameters, never name, mode or status, and only the one row.
    EXPECT_TRUE(store.UpdateLight(1, 3, {0, 9, L"X", 8, 10, 11, 12, 13, 14, 15, 16, 17, 1}));
    ASSERT_TRUE(store.GetLight(1, 3, back));
    EXPECT_EQ(std::make_tuple(back.name, back.mode, back.status, back.brightness, back.speed, back.direction, back.colorful,
                       back.colorindex, back.color_value, back.config_func, back.reserved),
              std::make_tuple(L"Wave", 3, 0, 10, 11, 12, 13, 14, 15, 16, 17));
    ASSERT_TRUE(store.GetLight(2, 3, back));
    EXPECT_EQ(back.brightness, 1);

    EXPECT_EQ(store.CountLights(1), 2);
    EXPECT_EQ(store.CountLights(3), 0);
    std::vector<LightData> lights;
    ASSERT_EQ(store.GetLights(1, lights), 2);
    EXPECT_EQ(lights[1].name, L"Static");
}

TEST_F(StoreOps, ActiveLightMarkSpansProfiles)
{
    store.AddLight({0, 1, L"a", 1, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    store.AddLight({0, 1, L"b", 2, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    store.AddLight({0, 2, L"a", 1, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(store.GetActiveLightMode(1), 1);

    EXPECT_TRUE(store.SetActiveLight(1, 2));
    EXPECT_EQ(store.GetActiveLightMode(1), 2);
    EXPECT_EQ(store.GetActiveLightMode(2), 0); // cleared in the other profile too

    // Activating a mode that has no row still clears every mark.
    EXPECT_TRUE(store.SetActiveLight(1, 7));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
}

TEST_F(StoreOps, OneCustomColourSetPerDatabase)
{
    auto colours = [](int profile, int rgb) {
        std::vector<KeyLightData> set;
        for (int code = 4; code < 8; ++code)
            set.push_back({0, profile, DataStore::kCustomLightId, code, rgb + code});
        return set;
    };
    EXPECT_EQ(store.SaveKeyLights(colours(1, 0x100)), 4);
    store.SaveKeyLights({{0, 1, 5, 4, 0x777}}); // another mode's rows are not custom colours

    // Saving in profile 2 replaces profile 1's colours.
    EXPECT_TRUE(store.DeleteKeyLights());
    EXPECT_EQ(store.SaveKeyLights(colours(2, 0x00FFFF00)), 4);

    std::vector<KeyLightData> read;
    ASSERT_EQ(store.GetKeyLights(DataStore::kCustomLightId, read), 4);
    for (const KeyLightData& k : read) {
        EXPECT_EQ(k.profile, 2);
        EXPECT_EQ(k.light_id, DataStore::kCustomLightId);
        EXPECT_EQ(k.key_rgb, 0x00FFFF00 + k.key_code);
    }
    EXPECT_EQ(store.GetKeyLights(5, read), 1);
}

TEST_F(StoreOps, MusicLayer)
{
    EXPECT_EQ(store.CountMusicLayers(), 0);
    EXPECT_EQ(store.GetSelectedMusicLayer(), 0);
    const int id = store.AddMusicLayer(L"Musik", 2);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(store.CountMusicLayers(), 1);

    MusicLayerData layer;
    ASSERT_TRUE(store.GetMusicLayer(id, layer));
    EXPECT_EQ(std::make_tuple(layer.layer_id, layer.profile, layer.name, layer.deviceindex, layer.foremode,
                       layer.fore_amplitude, layer.backmode, layer.backb_right),
              std::make_tuple(1, 1, L"Musik", 0, 2, 300, 0, 100));
    EXPECT_FALSE(store.GetMusicLayer(2, layer));

    // Always addresses layer 1, whatever the record's layer_id.
    EXPECT_TRUE(store.UpdateMusicLayer({5, 3, L"ignored", 1, 4, 150, 2, 60}));
    ASSERT_TRUE(store.GetMusicLayer(1, layer));
    EXPECT_EQ(std::make_tuple(layer.profile, layer.name, layer.deviceindex, layer.foremode, layer.fore_amplitude,
                       layer.backmode, layer.backb_right),
              std::make_tuple(1, L"Musik", 1, 4, 150, 2, 60));

    EXPECT_TRUE(store.SelectMusicLayer());
    EXPECT_EQ(store.GetSelectedMusicLayer(), 1);
}

} // namespace
