#include "devicedesc/DeviceConfig.h"
#include "lighting/LightModeDefaults.h"
#include "store/DataStore.h"
#include "support/TestLanguage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class LightModeDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.OpenDatabaseFile(L":memory:"));
        layout.defaultMode = 3;
        layout.defaultBrightness = 4;
        layout.defaultSpeed = 2;
        layout.lightModes = {{1, L"401", 1, 9, 9, 5, 0, 3, 7, 0x3}, {1, L"402", 3, 9, 9, 5, 0, 3, 7, 0x200},
                             {1, L"403", 128, 9, 9, 5, 0, 3, 7, 0x100}};
    }

    testenv::ScopedLanguage language{1033, "101=Music\n"};
    DataStore store;
    DeviceLayout layout;
};

TEST_F(LightModeDefaultsTest, FreshDatabaseGetsOneRowPerModeWithTheDefaultActive)
{
    EXPECT_TRUE(EnsureLightModes(store, layout));
    std::vector<LightData> rows;
    store.GetLights(1, rows);
    struct Expected { const wchar_t* name; int mode; int configFunc; int status; };
    const Expected expected[] = {{L"401", 1, 0x3, 0}, {L"402", 3, 0x200, 1}, {L"403", 128, 0x100, 0}};
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        const LightData& r = rows[i];
        EXPECT_EQ(r.profile, 1);
        EXPECT_EQ(r.name, expected[i].name);
        EXPECT_EQ(r.mode, expected[i].mode);
        EXPECT_EQ(r.config_func, expected[i].configFunc);
        EXPECT_EQ(r.status, expected[i].status);
        // Settings start from the layout's defaults, full colour, red.
        EXPECT_EQ(r.brightness, 4);
        EXPECT_EQ(r.speed, 2);
        EXPECT_EQ(r.direction, 0);
        EXPECT_EQ(r.colorful, 1);
        EXPECT_EQ(r.colorindex, 0);
        EXPECT_EQ(r.color_value, 255);
        EXPECT_EQ(r.reserved, 0);
    }
    // Rows are made once: a changed layout does not touch an existing database.
    layout.lightModes.pop_back();
    layout.defaultMode = 1;
    EXPECT_FALSE(EnsureLightModes(store, layout));
    EXPECT_EQ(store.GetLights(1, rows), 3);
    EXPECT_EQ(store.GetActiveLightMode(1), 3);
}

TEST_F(LightModeDefaultsTest, MusicLayerDefaults)
{
    for (bool rgb : {true, false}) {
        DataStore fresh;
        ASSERT_TRUE(fresh.OpenDatabaseFile(L":memory:"));
        EXPECT_TRUE(EnsureMusicLayer(fresh, rgb));
        EXPECT_FALSE(EnsureMusicLayer(fresh, !rgb));
        EXPECT_EQ(fresh.GetSelectedMusicLayer(), 1);
        MusicLayerData layer;
        ASSERT_TRUE(fresh.GetMusicLayer(1, layer));
        EXPECT_EQ(layer.name, L"Music");
        EXPECT_EQ(layer.profile, 1);
        EXPECT_EQ(layer.deviceindex, 0);
        EXPECT_EQ(layer.foremode, rgb ? 17 : 1);
        EXPECT_EQ(layer.fore_amplitude, 300);
        EXPECT_EQ(layer.backmode, 0);
        EXPECT_EQ(layer.backb_right, 100);
    }
}

} // namespace
