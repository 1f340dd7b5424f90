#include "devicedesc/DeviceConfig.h"

#include "devicedesc/DeviceEntry.h"
#include "platform/TextCodec.h"
#include "store/DataStore.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Records every call a layout load makes on a picture, as text.
class RecordingPicture : public LayoutPicture {
public:
    std::vector<std::wstring> calls;
    void ClearItem() override { calls.push_back(L"ClearItem"); }
    void SetRect(const LayoutRect& r) override { calls.push_back(L"SetRect " + Rect(r)); }
    void SetKeyboardImage(const std::wstring& path) override { calls.push_back(L"SetKeyboardImage " + path); }
    void SetWidthAndHeight(int w, int h) override
    {
        calls.push_back(L"SetWidthAndHeight " + std::to_wstring(w) + L"," + std::to_wstring(h));
    }
    void AddKeyItem(const std::wstring& name, const std::wstring& desc, int code, const LayoutRect& rect,
                    const std::wstring& icon) override
    {
        calls.push_back(L"AddKeyItem " + name + L"|" + desc + L"|" + std::to_wstring(code) + L"|" + Rect(rect) + L"|" + icon);
    }
    static std::wstring Rect(const LayoutRect& r)
    {
        return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
               std::to_wstring(r.bottom);
    }
};

class RecordingTargets : public LayoutTargets {
public:
    std::vector<std::wstring> calls;
    RecordingPicture keyPicture, lightPicture, thirdPicture;
    void SwitchModelDatabase(const std::wstring& name, int type) override
    {
        calls.push_back(L"db " + name + L" " + std::to_wstring(type));
    }
    void SetTabVisible(int tab, bool visible) override
    {
        calls.push_back(L"tab " + std::to_wstring(tab) + (visible ? L" on" : L" off"));
    }
    void ShowFirmwareButton(bool visible) override { calls.push_back(visible ? L"firmware on" : L"firmware off"); }
    void SetLightSliderMaxima(int b, int s) override
    {
        calls.push_back(L"sliders " + std::to_wstring(b) + L" " + std::to_wstring(s));
    }
    LayoutPicture* Picture(unsigned bit) override
    {
        switch (bit) {
        case PageFlag::KeyPage: return &keyPicture;
        case PageFlag::LightPage: return &lightPicture;
        case PageFlag::ThirdPicture: return &thirdPicture;
        default: return nullptr;
        }
    }
};

class DeviceConfigTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("keystead-layout-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::wstring Write(const std::string& name, const std::string& text)
    {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return platform::FromUtf8(p.string());
    }
    bool Load(const std::string& text, int type = 201)
    {
        return LoadDeviceConfig(type, L"K1", Write("layout.xml", text), layout, targets);
    }

    DeviceLayout layout;
    RecordingTargets targets;
};

const char* kFullLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<device.info>
  <menu macro="1" light_mode="0"/>
  <function sleep_time="1"/>
  <firmware version="1.02" file="fw.exe" url="http://x/fw.zip"/>
  <light rgb_keyboard="1" default_mode="3" default_brightness="4" default_speed="2" brightness_max="5" speed_max="6">
    <info name="401" mode="1" attribute="3"/>
    <info name="402" mode="3" attribute="512"/>
  </light>
  <Keyboard xpos="10" ypos="20" width="800" height="300" image="k1.png" row_count="6" col_count="21">
    <KeyItems>
      <key code="29" name="Esc" desc="Escape" key_index="0" light_index="99" icon="" row_col="0_0" rect="10#20#30#40"/>
      <key code="e0" name="Ctrl" desc="Left Ctrl" key_index="90" light_index="1" icon="i.png" row_col="5_12" rect="1#2#3#4"/>
      <key code="104" name="X" desc="" key_index="7" row_col="7_31" rect="0#0#1#1"/>
    </KeyItems>
  </Keyboard>
</device.info>
)";

TEST_F(DeviceConfigTest, ReadsEveryPartOfALayout)
{
    ASSERT_TRUE(Load(kFullLayout));
    EXPECT_EQ(layout.deviceType, 201);
    EXPECT_EQ(layout.pageFlags, 0x43u);
    EXPECT_TRUE(layout.sleepTime);
    EXPECT_EQ(layout.firmwareVersion, L"1.02");
    EXPECT_EQ(layout.firmwareFile, L"fw.exe");
    EXPECT_EQ(layout.firmwareUrl, L"http://x/fw.zip");
    EXPECT_TRUE(layout.rgbKeyboard);
    EXPECT_EQ(layout.defaultMode, 3);
    EXPECT_EQ(layout.brightnessMax, 5);
    EXPECT_EQ(layout.speedMax, 6);
    const std::vector<LightModeEntry> modes = {
        {1, L"401", 1, 4, 2, 0, 1, 0, 255, 3},
        {1, L"402", 3, 4, 2, 0, 1, 0, 255, 512},
    };
    EXPECT_EQ(layout.lightModes, modes);
    EXPECT_EQ(layout.keyIndexMap, (std::map<int, int>{{0x29, 0}, {0xE0, 90}, {0x104, 7}}));
    EXPECT_EQ(layout.rowCount, 6);
    EXPECT_EQ(layout.colCount, 21);
    EXPECT_EQ(layout.grid[0][0], 0x29);
    EXPECT_EQ(layout.grid[5][12], 0xE0);
    EXPECT_EQ(layout.grid[7][31], 0x04);  // low byte of the code
    EXPECT_EQ(layout.grid[0][1], kNoGridKey);
    ASSERT_EQ(layout.keys.size(), 3u);
    EXPECT_EQ(layout.keys[0].rect, (LayoutRect{10, 20, 40, 60}));

    EXPECT_EQ(targets.calls, (std::vector<std::wstring>{L"db K1 201", L"tab 1 on", L"tab 2 on", L"tab 3 off",
                                                         L"tab 7 on", L"firmware on", L"sliders 5 6"}));
    // The lighting page is off: only the key page picture and the third picture are filled.
    const std::vector<std::wstring> pictureCalls = {
        L"ClearItem",
        L"SetRect 10,20,810,320",
        L"SetKeyboardImage keyboard/k1.png",
        L"SetWidthAndHeight 800,300",
        L"AddKeyItem Esc|Escape|41|10,20,40,60|",
        L"AddKeyItem Ctrl|Left Ctrl|224|1,2,4,6|i.png",
        L"AddKeyItem X||260|0,0,1,1|",
    };
    EXPECT_EQ(targets.keyPicture.calls, pictureCalls);
    EXPECT_EQ(targets.thirdPicture.calls, pictureCalls);
    EXPECT_TRUE(targets.lightPicture.calls.empty());
}

TEST_F(DeviceConfigTest, MissingElementsKeepWhatTheyHeld)
{
    ASSERT_TRUE(Load(kFullLayout));
    targets = RecordingTargets();
    // No menu, function, light or Keyboard; a firmware offer without a file.
    ASSERT_TRUE(Load(R"(<device.info><firmware version="2.0"/></device.info>)", 202));
    EXPECT_EQ(layout.deviceType, 202);
    EXPECT_EQ(layout.pageFlags, 0x43u);
    EXPECT_TRUE(layout.sleepTime);
    EXPECT_EQ(layout.firmwareVersion, L"2.0");
    EXPECT_EQ(layout.firmwareFile, L"");
    EXPECT_EQ(layout.lightModes.size(), 2u);
    EXPECT_EQ(targets.calls, (std::vector<std::wstring>{L"db K1 202", L"firmware off"}));
    // Keys, maps and grid are rebuilt by every load that reads the file.
    EXPECT_TRUE(layout.keys.empty());
    EXPECT_TRUE(layout.keyIndexMap.empty());
    EXPECT_EQ(layout.grid[0][0], kNoGridKey);
    EXPECT_EQ(layout.rowCount, 0);
    EXPECT_EQ(targets.keyPicture.calls, std::vector<std::wstring>{L"ClearItem"});
}

TEST_F(DeviceConfigTest, WithoutAMenuAllPagesStay)
{
    ASSERT_TRUE(Load(R"(<device.info><Keyboard image="a.png"/></device.info>)"));
    EXPECT_EQ(layout.pageFlags, PageFlag::All);
    EXPECT_FALSE(targets.keyPicture.calls.empty());
    EXPECT_FALSE(targets.lightPicture.calls.empty());
    EXPECT_FALSE(targets.thirdPicture.calls.empty());
}

TEST_F(DeviceConfigTest, UnusableFilesKeepThePreviousLayout)
{
    ASSERT_TRUE(Load(kFullLayout));
    const DeviceLayout before = layout;
    const std::string full(kFullLayout);
    const std::string nested = std::string(100000, '<').insert(0, "<device.info>");
    std::string deep = "<device.info>";
    for (int i = 0; i < 20000; ++i)
        deep += "<a>";
    for (int i = 0; i < 20000; ++i)
        deep += "</a>";
    deep += "</device.info>";
    const std::string cases[] = {
        "",                                      // empty
        full.substr(0, full.size() / 2),        // truncated
        "<device.info><menu macro='1'></device.info>",  // malformed
        "<config><menu macro='1'/></config>",   // wrong root
        "not xml at all",
        nested,
        std::string("\xFF\xFE\x00\x01garbage", 12),
    };
    for (const std::string& text : cases) {
        targets = RecordingTargets();
        EXPECT_FALSE(Load(text, 205)) << text.substr(0, 40);
        // Device type and database still switch; the URL is emptied; nothing else changes.
        EXPECT_EQ(targets.calls, std::vector<std::wstring>{L"db K1 205"});
        EXPECT_TRUE(targets.keyPicture.calls.empty());
        EXPECT_EQ(layout.deviceType, 205);
        EXPECT_EQ(layout.firmwareUrl, L"");
        EXPECT_EQ(layout.keyIndexMap, before.keyIndexMap);
        EXPECT_EQ(layout.grid, before.grid);
        EXPECT_EQ(layout.lightModes, before.lightModes);
    }
    targets = RecordingTargets();
    EXPECT_FALSE(LoadDeviceConfig(7, L"", platform::FromUtf8((dir / "missing.xml").string()), layout, targets));
    // A deep but well-formed tree is a layout without known parts.
    EXPECT_TRUE(Load(deep));
}

TEST_F(DeviceConfigTest, EntityExpansionIsNotPerformed)
{
    const std::string bomb = R"(<?xml version="1.0"?>
<!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">
<!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">]>
<device.info><Keyboard><KeyItems><key code="4" name="&lol3;" row_col="0_0"/></KeyItems></Keyboard></device.info>)";
    if (Load(bomb)) {
        ASSERT_EQ(layout.keys.size(), 1u);
        EXPECT_LT(layout.keys[0].name.size(), 64u);
    }
}

TEST_F(DeviceConfigTest, RowColForms)
{
    struct Case { const wchar_t* text; bool ok; int row; int col; };
    const Case cases[] = {
        {L"0_0", true, 0, 0}, {L"3_7", true, 3, 7}, {L"3_07", true, 3, 7}, {L"2-15", true, 2, 15},
        {L"7_31", true, 7, 31}, {L"7 31", true, 7, 31},
        // outside 8 x 32
        {L"8_0", false, 0, 0}, {L"9_1", false, 0, 0}, {L"0_32", false, 0, 0}, {L"0_99", false, 0, 0},
        // not of the two forms
        {L"", false, 0, 0}, {L"1", false, 0, 0}, {L"1_", false, 0, 0}, {L"1_123", false, 0, 0},
        {L"12_3", false, 0, 0}, {L"a_1", false, 0, 0}, {L"1_b", false, 0, 0}, {L"1_2x", false, 0, 0},
        {L"-1_2", false, 0, 0}, {L"1_-2", false, 0, 0},
    };
    for (const Case& c : cases) {
        int row = -9, col = -9;
        EXPECT_EQ(ParseRowCol(c.text, row, col), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(row, c.row) << c.text;
            EXPECT_EQ(col, c.col) << c.text;
        }
    }
}

TEST_F(DeviceConfigTest, RejectedGridPositionsStillAddTheKey)
{
    ASSERT_TRUE(Load(R"(<device.info><Keyboard><KeyItems>
        <key code="4" key_index="1" row_col="9_99"/>
        <key code="5" key_index="2" row_col="1_123"/>
        <key code="6" key_index="3" row_col="0_32"/>
        <key code="7" key_index="4"/>
        </KeyItems></Keyboard></device.info>)"));
    for (const auto& row : layout.grid)
        for (uint8_t cell : row)
            EXPECT_EQ(cell, kNoGridKey);
    EXPECT_EQ(layout.keyIndexMap, (std::map<int, int>{{4, 1}, {5, 2}, {6, 3}, {7, 4}}));
    EXPECT_EQ(layout.keys[0].row, -1);
    const std::vector<std::wstring> added(targets.keyPicture.calls.end() - 4, targets.keyPicture.calls.end());
    EXPECT_EQ(added, (std::vector<std::wstring>{L"AddKeyItem ||4|0,0,0,0|", L"AddKeyItem ||5|0,0,0,0|",
                                                L"AddKeyItem ||6|0,0,0,0|", L"AddKeyItem ||7|0,0,0,0|"}));
}

TEST_F(DeviceConfigTest, LaterDuplicateCodeWinsTheMapAndBothAreShown)
{
    ASSERT_TRUE(Load(R"(<device.info><Keyboard><KeyItems>
        <key code="4" key_index="1" light_index="50" row_col="0_1"/>
        <key code="4" key_index="9" light_index="60" row_col="0_2"/>
        </KeyItems></Keyboard></device.info>)"));
    EXPECT_EQ(layout.keyIndexMap, (std::map<int, int>{{4, 9}}));
    EXPECT_EQ(layout.keys.size(), 2u);
    EXPECT_EQ(layout.grid[0][1], 4);
    EXPECT_EQ(layout.grid[0][2], 4);
}

TEST_F(DeviceConfigTest, NumbersAndRects)
{
    struct RectCase { const wchar_t* text; LayoutRect rect; };
    const RectCase rects[] = {
        {L"10#20#30#40", {10, 20, 40, 60}},
        {L"", {0, 0, 0, 0}},
        {L"5#6", {5, 6, 5, 6}},
        {L"x#y#z#w", {0, 0, 0, 0}},
        {L"1#2#3#4#5", {1, 2, 4, 6}},
        {L"-5#-5#10#10", {-5, -5, 5, 5}},
        {L"2147483647#0#2147483647#0", {2147483647, 0, 2147483647, 0}},
        {L"99999999999999#0#5#0", {2147483647, 0, 2147483647, 0}},
    };
    for (const RectCase& c : rects)
        EXPECT_EQ(ParseKeyRect(c.text), c.rect) << c.text;

    const std::pair<const wchar_t*, int> codes[] = {
        {L"29", 0x29}, {L"e0", 0xE0}, {L"E0", 0xE0}, {L"0x1F", 0x1F}, {L"ff", 255}, {L"", 0}, {L"zz", 0},
        {L"1g", 1}, {L"fffffffffff", 2147483647},
    };
    for (auto [text, code] : codes)
        EXPECT_EQ(ParseHexCode(text), code) << text;
}

TEST_F(DeviceConfigTest, HugePictureNumbersDoNotOverflow)
{
    ASSERT_TRUE(Load(R"(<device.info><menu macro="0" light_mode="0"/>
        <Keyboard xpos="2147483647" ypos="-2147483648" width="2147483647" height="-5"/></device.info>)"));
    EXPECT_EQ(targets.keyPicture.calls[1], L"SetRect 2147483647,-2147483648,2147483647,-2147483648");
}

} // namespace

namespace {

TEST(SwitchModelDatabase, OpensTheFileOfTheModel)
{
    testenv::TempFolder data;
    const std::wstring dir = platform::FromUtf8(data.Path()) + L"/";
    DataStore store;
    SwitchModelDatabase(store, dir, L"K1", 201);
    ASSERT_TRUE(store.IsOpened());
    EXPECT_EQ(store.GetCurrentDevice(), 201);
    ProfileData p;
    p.name = L"on K1";
    ASSERT_GT(store.AddProfile(p), 0);

    SwitchModelDatabase(store, dir, L"K2", 7);
    EXPECT_EQ(store.Path(), platform::ToUtf8(DataStore::DatabasePath(dir, L"K2")));
    std::vector<ProfileData> profiles;
    EXPECT_EQ(store.GetProfiles(profiles), 0);

    SwitchModelDatabase(store, dir, L"K1", 201);  // the same model again reopens its file
    EXPECT_EQ(store.GetProfiles(profiles), 1);
}

TEST(LoadDeviceConfigByType, TakesTheFirstModelOfTheType)
{
    RecordingTargets targets;
    DeviceLayout layout;
    auto model = [](const wchar_t* name, int type, const wchar_t* layoutName) {
        DeviceEntry e;
        e.name = name;
        e.deviceType = type;
        e.layoutName = layoutName;
        return e;
    };
    const std::vector<DeviceEntry> keyboards = {model(L"A", 100, L"none_a"), model(L"B", 201, L"does_not_exist_b"),
                                                model(L"C", 201, L"does_not_exist_c")};
    EXPECT_FALSE(LoadDeviceConfig(201, keyboards, layout, targets));
    EXPECT_FALSE(LoadDeviceConfig(555, keyboards, layout, targets));
    EXPECT_EQ(targets.calls, (std::vector<std::wstring>{L"db B 201", L"db  555"}));
    EXPECT_EQ(LayoutFilePath(L"/opt/k", L"k1"), L"/opt/k/layouts/k1.xml");
}

} // namespace
