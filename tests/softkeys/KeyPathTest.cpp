#include "SoftKeyFixture.h"

#include "keys/KeyFunction.h"

using expect::Concat;
using expect::Consumer;
using expect::Keys;
using expect::Mouse;
using platform::InjectionReport;

namespace {

constexpr int kKey = 0x3A;  // the physical key that gets the assignment (F1)

struct KindCase {
    const char* name;
    int kind;
    int value;
    std::vector<InjectionReport> onPress;
    std::vector<InjectionReport> onRelease;
};

class KindTest : public SoftKeyFixture, public ::testing::WithParamInterface<KindCase> {};

TEST_P(KindTest, PressAndReleaseInjectExactReports)
{
    const KindCase& c = GetParam();
    Assign(kKey, c.kind, c.value);
    StartUp();
    exec_->RefreshKeyTable();
    TakeReports();

    EXPECT_TRUE(Physical(kKey, true));
    EXPECT_EQ(TakeReports(), c.onPress);
    EXPECT_TRUE(Physical(kKey, false));
    EXPECT_EQ(TakeReports(), c.onRelease);
    EXPECT_TRUE(pauses_.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KindTest,
    ::testing::Values(
        KindCase{"KeyA", KeyKind::Key, 4, {Keys({4})}, {Keys({})}},
        KindCase{"KeyRightGui", KeyKind::Key, 231, {Keys({231})}, {Keys({})}},
        KindCase{"ConsumerVolumeUp", KeyKind::Key, 234, {Consumer(0x00E9)}, {Consumer(0)}},
        KindCase{"ConsumerMediaPlayer", KeyKind::Key, 232, {Consumer(0x0183)}, {Consumer(0)}},
        KindCase{"ConsumerMyComputer", KeyKind::Key, 249, {Consumer(0x0194)}, {Consumer(0)}},
        KindCase{"CodeAboveConsumerRange", KeyKind::Key, 250, {}, {}},
        KindCase{"MouseLeft", KeyKind::Mouse, 1, {Mouse(0x01)}, {Mouse(0)}},
        KindCase{"MouseMiddle", KeyKind::Mouse, 2, {Mouse(0x04)}, {Mouse(0)}},
        KindCase{"MouseRight", KeyKind::Mouse, 3, {Mouse(0x02)}, {Mouse(0)}},
        KindCase{"MouseForward", KeyKind::Mouse, 7, {Mouse(0x10)}, {Mouse(0)}},
        KindCase{"MouseBack", KeyKind::Mouse, 8, {Mouse(0x08)}, {Mouse(0)}},
        KindCase{"MouseUnknownCode", KeyKind::Mouse, 4, {}, {}},
        KindCase{"Disabled", KeyKind::Disabled, 1, {}, {}},
        KindCase{"LaunchKindOnKey", KeyKind::Launch, 5, {}, {}},
        KindCase{"KeyHigh", KeyKind::KeyHigh, 600, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The fifteen shortcuts as usage steps (+ press, - release), written out independently.
struct ShortcutCase {
    int number;
    std::vector<int> steps;
};

class ShortcutTest : public SoftKeyFixture, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutTest, PressPlaysWholeSequenceWithTenMsStepsThenReleasesAll)
{
    const ShortcutCase& c = GetParam();
    Assign(kKey, KeyKind::Shortcut, c.number);
    StartUp();
    exec_->RefreshKeyTable();
    TakeReports();

    EXPECT_TRUE(Physical(kKey, true));
    std::vector<InjectionReport> expected;
    std::set<int> down;
    for (int step : c.steps) {
        if (step > 0)
            down.insert(step);
        else
            down.erase(-step);
        InjectionReport r = Keys({});
        for (int u : down)
            r.bytes[3 + u / 8] |= static_cast<uint8_t>(1u << (u % 8));
        expected.push_back(r);
    }
    EXPECT_EQ(TakeReports(), Concat({expected, expect::ReleaseAll()}));
    EXPECT_EQ(pauses_, std::vector<int>(c.steps.size() - 1, 10));

    pauses_.clear();
    EXPECT_TRUE(Physical(kKey, false));
    EXPECT_TRUE(TakeReports().empty());
    EXPECT_TRUE(pauses_.empty());
}

constexpr int Ctrl = 224, Alt = 226, Gui = 227;
INSTANTIATE_TEST_SUITE_P(
    All, ShortcutTest,
    ::testing::Values(ShortcutCase{1, {Ctrl, 4, -4, -Ctrl}}, ShortcutCase{2, {Ctrl, 6, -6, -Ctrl}},
                      ShortcutCase{3, {Ctrl, 27, -27, -Ctrl}}, ShortcutCase{4, {Ctrl, 25, -25, -Ctrl}},
                      ShortcutCase{5, {Ctrl, 29, -29, -Ctrl}}, ShortcutCase{6, {Ctrl, 22, -22, -Ctrl}},
                      ShortcutCase{7, {Gui, 8, -8, -Gui}}, ShortcutCase{8, {Gui, 15, -15, -Gui}},
                      ShortcutCase{9, {Gui, 7, -7, -Gui}}, ShortcutCase{10, {Alt, 43, -43, -Alt}},
                      ShortcutCase{11, {Gui, 16, -16, -Gui}}, ShortcutCase{12, {Ctrl, 26, -26, -Ctrl}},
                      ShortcutCase{13, {Alt, 44, 27, -27, -44, -Alt}},
                      ShortcutCase{14, {Alt, 44, 17, -17, -44, -Alt}}, ShortcutCase{15, {Alt, 61, -61, -Alt}}),
    [](const auto& info) { return "Shortcut" + std::to_string(info.param.number); });

TEST_F(SoftKeyFixture, ShortcutOutsideTableDoesNothing)
{
    Assign(kKey, KeyKind::Shortcut, 16);
    StartUp();
    exec_->RefreshKeyTable();
    TakeReports();
    EXPECT_TRUE(Physical(kKey, true));
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(SoftKeyFixture, MacroKeyIsQueuedOnPressOnly)
{
    Assign(kKey, KeyKind::Macro, 42);
    StartUp();
    exec_->RefreshKeyTable();
    TakeReports();
    Physical(kKey, true);
    Physical(kKey, false);
    Physical(kKey, true);
    EXPECT_EQ(host_.Queued(), (std::vector<int>{42, 42}));
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(SoftKeyFixture, KeysWithoutAssignmentOrOfOtherProfilesPassThrough)
{
    Assign(kKey, KeyKind::Key, 5);
    Assign(0x3B, KeyKind::Key, 6, /*profile*/ 2);
    StartUp();
    exec_->RefreshKeyTable();
    EXPECT_FALSE(Physical(0x3B, true));
    EXPECT_FALSE(Physical(0x04, true));
    EXPECT_EQ(filter_->HeldBackCodes(), (std::set<uint16_t>{kKey}));
}

TEST_F(SoftKeyFixture, RefreshSendsZeroTableThenTableThenBothControlsAndRestartsMonitor)
{
    Assign(0x04, KeyKind::Key, 5);
    Assign(0x2C, KeyKind::Disabled, 1);
    StartUp();
    TakeReports();
    exec_->RefreshKeyTable();

    const auto controls = filter_->Controls();
    ASSERT_EQ(controls.size(), 4u);
    EXPECT_EQ(controls[0].code, platform::kFilterSetKeyTable);
    EXPECT_EQ(controls[0].input, std::vector<uint8_t>(256, 0));
    EXPECT_EQ(controls[1].code, platform::kFilterSetKeyTable);
    std::vector<uint8_t> table(1024, 0);
    // Entries in store order: code little-endian, 7, 0x02.
    std::vector<KeyMacroData> rows;
    store_.GetLayerAssignments(1, 0, rows);
    ASSERT_EQ(rows.size(), 2u);
    for (size_t i = 0; i < rows.size(); ++i) {
        table[4 * i] = static_cast<uint8_t>(rows[i].key_code);
        table[4 * i + 2] = 7;
        table[4 * i + 3] = 0x02;
    }
    EXPECT_EQ(controls[1].input, table);
    EXPECT_EQ(controls[2].code, platform::kFilterTableLoaded);
    EXPECT_EQ(controls[3].code, platform::kFilterTableApplied);
    EXPECT_TRUE(monitor_->IsMonitorRunning());
    // Whatever was injected before is released first.
    EXPECT_EQ(TakeReports(), expect::ReleaseAll());
}

TEST_F(SoftKeyFixture, RefreshOfEmptyLayerSendsTwoZeroTables)
{
    StartUp();
    exec_->RefreshKeyTable();
    const auto controls = filter_->Controls();
    ASSERT_EQ(controls.size(), 4u);
    EXPECT_EQ(controls[0].input, std::vector<uint8_t>(256, 0));
    EXPECT_EQ(controls[1].input, std::vector<uint8_t>(1024, 0));
    EXPECT_TRUE(monitor_->IsMonitorRunning());
    EXPECT_TRUE(exec_->KeyMap().empty());
}

TEST_F(SoftKeyFixture, KeyHeldAcrossTableChangeIsReleased)
{
    Assign(kKey, KeyKind::Key, 4);
    StartUp();
    exec_->RefreshKeyTable();
    Physical(kKey, true);
    TakeReports();
    exec_->RefreshKeyTable();  // e.g. a page change while the key is down
    EXPECT_EQ(TakeReports(), expect::ReleaseAll());
    // Its release still reaches the program and leaves nothing down.
    EXPECT_TRUE(Physical(kKey, false));
    EXPECT_EQ(TakeReports(), (std::vector<InjectionReport>{Keys({})}));
}

TEST(KeyTableTest, OnlyTheFirst256AssignmentsFitAndAreExecuted)
{
    std::vector<KeyMacroData> rows(300);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].key_code = static_cast<int>(0x100 + i);
    std::map<int, KeyMacroData> keyMap;
    const platform::KeyTable table = BuildKeyTable(rows, keyMap);
    EXPECT_EQ(keyMap.size(), 256u);
    EXPECT_EQ(keyMap.count(0x100 + 255), 1u);
    EXPECT_EQ(keyMap.count(0x100 + 256), 0u);
    const auto bytes = table.Bytes();
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[1020], 0xFF);  // entry 255: code 0x1FF
    EXPECT_EQ(bytes[1021], 0x01);
    EXPECT_EQ(bytes[1022], 7);
    EXPECT_EQ(bytes[1023], 0x02);
}

TEST_F(SoftKeyFixture, InjectionIsSkippedWhileDeviceIsGoneAndResumesWhenItReturns)
{
    Assign(kKey, KeyKind::Key, 4);
    Assign(0x3B, KeyKind::Macro, 9);
    StartUp();
    exec_->RefreshKeyTable();
    TakeReports();

    // Present: no search per key.
    const int searches = device_->Searches();
    Physical(kKey, true);
    Physical(kKey, false);
    EXPECT_EQ(device_->Searches(), searches);
    EXPECT_EQ(TakeReports(), (std::vector<InjectionReport>{Keys({4}), Keys({})}));

    device_->SetPresent(false);
    Physical(kKey, true);   // the write fails: the device is found gone
    Physical(kKey, false);  // skipped without a write
    Physical(0x3B, true);   // macros are still queued
    EXPECT_TRUE(TakeReports().empty());
    EXPECT_EQ(host_.Queued(), std::vector<int>{9});

    device_->SetPresent(true);
    Physical(kKey, true);
    EXPECT_EQ(TakeReports(), (std::vector<InjectionReport>{Keys({4})}));
}

TEST_F(SoftKeyFixture, StartUpWithDevicePresentRegistersHandlerAndReleasesAll)
{
    struct NoRunner : ProcessRunner {
        bool RunAndWait(const std::wstring&, const std::vector<std::wstring>&) override
        {
            ++runs;
            return true;
        }
        int runs = 0;
    } runner;
    DriverInstaller installer(*vhid_, runner, L"/nonexistent", {});
    ASSERT_TRUE(exec_->Start(installer));
    EXPECT_EQ(runner.runs, 0);
    EXPECT_EQ(TakeReports(), expect::ReleaseAll());
    EXPECT_EQ(monitor_->ProxyCount(), 1u);
    EXPECT_TRUE(monitor_->IsFilterOpen());
    EXPECT_FALSE(monitor_->IsMonitorRunning());  // no table before the first refresh
    EXPECT_TRUE(filter_->Controls().empty());
}

TEST_F(SoftKeyFixture, StartUpFailsWhenDriversCannotBeInstalled)
{
    device_->SetPresent(false);
    struct NoRunner : ProcessRunner {
        bool RunAndWait(const std::wstring&, const std::vector<std::wstring>&) override { return false; }
    } runner;
    DriverInstaller installer(*vhid_, runner, L"/nonexistent", {});
    EXPECT_FALSE(exec_->Start(installer));
    EXPECT_EQ(monitor_->ProxyCount(), 0u);
}

TEST_F(SoftKeyFixture, ShutDownEmptiesTableAndReleasesEverythingForGood)
{
    Assign(kKey, KeyKind::Key, 4);
    StartUp();
    exec_->RefreshKeyTable();
    Physical(kKey, true);
    TakeReports();

    exec_->ShutDown();
    EXPECT_FALSE(monitor_->IsMonitorRunning());
    EXPECT_EQ(filter_->Controls().back().input, std::vector<uint8_t>(256, 0));
    EXPECT_TRUE(filter_->HeldBackCodes().empty());
    EXPECT_EQ(TakeReports(), expect::ReleaseAll());
    // A late injection (a macro still playing on the worker) is refused.
    vhid_->PressKey(4, true);
    EXPECT_TRUE(TakeReports().empty());
}

struct OtherDataCase {
    const char* name;
    int type;
    std::wstring desc;
    std::wstring param;
    std::vector<std::wstring> opened;
    std::vector<int> switched;
};

class OtherDataTest : public SoftKeyFixture, public ::testing::WithParamInterface<OtherDataCase> {};

TEST_P(OtherDataTest, MessageRunsTheRowsFunction)
{
    const auto& c = GetParam();
    const int id = store_.AddKeyOtherData(c.desc, c.param, c.type);
    ASSERT_GT(id, 0);
    StartUp();
    exec_->RunKeyOtherData(id);
    EXPECT_EQ(shell_.opened, c.opened);
    EXPECT_EQ(host_.switchedTo, c.switched);
    EXPECT_TRUE(TakeReports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Types, OtherDataTest,
    ::testing::Values(
        OtherDataCase{"LaunchOpensParam", 8, L"tool", L"/usr/bin/tool", {L"/usr/bin/tool"}, {}},
        OtherDataCase{"AddressGetsWwwPrefix", 9, L"example.com", L"", {L"http://www.example.com"}, {}},
        OtherDataCase{"AddressWithWwwUnchanged", 9, L"news.www.example.com/x", L"", {L"http://news.www.example.com/x"}, {}},
        OtherDataCase{"AddressWithSchemeKept", 9, L"https://www.example.com", L"", {L"https://www.example.com"}, {}},
        OtherDataCase{"SwitchProfile", 11, L"Gaming", L"7", {}, {7}},
        OtherDataCase{"UnknownType", 12, L"x", L"y", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoftKeyFixture, MessageForMissingRowDoesNothing)
{
    StartUp();
    exec_->RunKeyOtherData(999);
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_TRUE(clipboard_.log.empty());
}

TEST_F(SoftKeyFixture, TypeTextPastesThroughClipboardAndCtrlV)
{
    const int id = store_.AddKeyOtherData(L"héllo wörld", L"", 10);
    const int empty = store_.AddKeyOtherData(L"", L"", 10);
    StartUp();
    TakeReports();
    exec_->RunKeyOtherData(empty);
    EXPECT_TRUE(clipboard_.log.empty());

    exec_->RunKeyOtherData(id);
    EXPECT_EQ(clipboard_.log, (std::vector<std::wstring>{L"set:héllo wörld", L"clear"}));
    EXPECT_EQ(TakeReports(), (std::vector<InjectionReport>{Keys({224}), Keys({224, 25}), Keys({224}), Keys({})}));
    EXPECT_EQ(pauses_, std::vector<int>{100});
}

} // namespace
