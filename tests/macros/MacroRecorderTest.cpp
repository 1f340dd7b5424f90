#include "macros/MacroRecorder.h"

#include <gtest/gtest.h>

namespace {

using platform::KeyHookEvent;

class FakePage : public RecordingPage {
public:
    int SelectedMacroId() const override { return selected; }
    int DelayMode() const override { return mode; }
    std::wstring FixedDelayText() const override { return fixedText; }
    void ShowRecordingButtons(bool recording) override { calls.push_back(recording ? "buttons:stop" : "buttons:start"); }
    void EnableEditing(bool enabled) override { calls.push_back(enabled ? "enable" : "disable"); }
    void SetKeyCapture(bool on) override { calls.push_back(on ? "capture:on" : "capture:off"); }
    void SaveEventsAndRefresh() override { calls.push_back("save"); }
    int EventCount() const override { return static_cast<int>(events.size()); }
    void SetEventDelay(int index, int delay) override { events.at(static_cast<size_t>(index)).delay = delay; }
    void AppendEvent(const RecordedEvent& event) override { events.push_back(event); }

    int selected = 7;
    int mode = 1;
    std::wstring fixedText = L"10";
    std::vector<std::string> calls;
    std::vector<RecordedEvent> events;
};

struct Recorded {
    int type;
    int code;
    bool operator==(const Recorded&) const = default;
};
void PrintTo(const Recorded& r, std::ostream* os) { *os << (r.type == 2 ? "down " : "up ") << r.code; }

KeyHookEvent Down(uint32_t vk, uint32_t scan = 0, uint32_t flags = 0) { return {0x100, vk, scan, flags}; }
KeyHookEvent Up(uint32_t vk, uint32_t scan = 0, uint32_t flags = 0x80) { return {0x101, vk, scan, flags}; }

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() : recorder_(page_, [this] { return now_; }) { recorder_.LoadIgnoredKeys(); }

    void Feed(const std::vector<KeyHookEvent>& events, int stepMs = 0)
    {
        for (const auto& e : events) {
            now_ += stepMs;
            EXPECT_NE(recorder_.OnHookEvent(&e), 0);  // swallowed while recording
        }
    }
    std::vector<Recorded> Got() const
    {
        std::vector<Recorded> out;
        for (const auto& e : page_.events)
            out.push_back({e.type, e.code});
        return out;
    }
    std::vector<int> Delays() const
    {
        std::vector<int> out;
        for (const auto& e : page_.events)
            out.push_back(e.delay);
        return out;
    }

    FakePage page_;
    int64_t now_ = 100000;
    MacroRecorder recorder_;
};

struct RuleCase {
    const char* name;
    std::vector<KeyHookEvent> events;
    std::vector<Recorded> recorded;
};

class RuleTest : public RecorderTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTest, HookEventsAreRecordedByTheRules)
{
    recorder_.StartRecording();
    Feed(GetParam().events);
    EXPECT_EQ(Got(), GetParam().recorded);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RuleTest,
    ::testing::Values(
        RuleCase{"AutoRepeatRecordedOnce", {Down('A'), Down('A'), Down('A'), Up('A')}, {{2, 'A'}, {3, 'A'}}},
        RuleCase{"SystemKeyMessages", {{0x104, 'X', 0, 0x20}, {0x105, 'X', 0, 0xA0}}, {{2, 'X'}, {3, 'X'}}},
        RuleCase{"Keypad7WithNumLockOff", {Down(36, 71), Up(36, 71)}, {{2, 103}, {3, 103}}},
        RuleCase{"KeypadDotAndZero", {Down(46, 83), Down(45, 82)}, {{2, 110}, {2, 96}}},
        RuleCase{"ExtendedHomeStaysHome", {Down(36, 71, 1), Up(36, 71, 0x81)}, {{2, 36}, {3, 36}}},
        RuleCase{"KeypadWithAltHeldIsNotConverted", {Down(36, 71, 0x20)}, {{2, 36}}},
        RuleCase{"KeypadEnter", {Down(13, 28, 1), Up(13, 28, 0x81)}, {{2, 108}, {3, 108}}},
        RuleCase{"MainEnter", {Down(13, 28, 0), Up(13, 28, 0x80)}, {{2, 13}, {3, 13}}},
        RuleCase{"VolumeBrowserAndLaunchKeysIgnored", {Down(175), Down(166), Down(180), Down(182), Down(183), Up(175)}, {}},
        RuleCase{"LaunchMediaRecorded", {Down(181), Up(181)}, {{2, 181}, {3, 181}}},
        RuleCase{"GenericModifiersBecomeLeftHand", {Down(16), Down(17), Down(18), Up(16)}, {{2, 160}, {2, 162}, {2, 164}, {3, 160}}},
        RuleCase{"GenericAndLeftShiftAreOneKey", {Down(160), Down(16), Up(16)}, {{2, 160}, {3, 160}}},
        RuleCase{"ZeroCodeNotRecorded", {Down(0), Up(0)}, {}},
        RuleCase{"ReleaseWithoutPressRecorded", {Up('B')}, {{3, 'B'}}},
        RuleCase{"OtherMessagesIgnored", {{0x102, 'A', 0, 0}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecorderTest, FixedNamesOfModifiersAndLaunchMedia)
{
    recorder_.StartRecording();
    Feed({Down(16), Down(181)});
    ASSERT_EQ(page_.events.size(), 2u);
    EXPECT_EQ(page_.events[0].name, L"Shift");
    EXPECT_EQ(page_.events[1].name, L"Multimedia");
}

struct DelayCase {
    const char* name;
    int mode;
    std::wstring fixedText;
    std::vector<int64_t> times;  // clock at each event (A down, A up, B down, B up, ...)
    std::vector<int> delays;
};

class DelayTest : public RecorderTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(DelayTest, DelaysFollowTheMode)
{
    const auto& c = GetParam();
    page_.mode = c.mode;
    page_.fixedText = c.fixedText;
    recorder_.StartRecording();
    const uint32_t keys[] = {'A', 'B', 'C'};
    for (size_t i = 0; i < c.times.size(); ++i) {
        now_ = c.times[i];
        const uint32_t key = keys[i / 2];
        const KeyHookEvent e = i % 2 == 0 ? Down(key) : Up(key);
        recorder_.OnHookEvent(&e);
    }
    EXPECT_EQ(Delays(), c.delays);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DelayTest,
    ::testing::Values(
        DelayCase{"RecordedHold300", 1, L"", {5000, 5300}, {300, 0}},
        DelayCase{"RecordedThreeEvents", 1, L"", {5000, 5300, 5340, 5400}, {300, 40, 60, 0}},
        DelayCase{"RecordedSameMillisecondKeepsZero", 1, L"", {5000, 5000}, {0, 0}},
        DelayCase{"RecordedCappedAt31000", 1, L"", {5000, 40000}, {31000, 0}},
        DelayCase{"RecordedClockBackwards", 1, L"", {5000, 4000}, {31000, 0}},
        DelayCase{"NoDelays", 2, L"", {5000, 5300, 5400}, {0, 0, 0}},
        DelayCase{"Fixed25", 3, L"25", {5000, 5300, 5301, 9000}, {25, 25, 25, 0}},
        DelayCase{"FixedTextReadAsLeadingNumber", 3, L" 40ms", {5000, 5300}, {40, 0}},
        DelayCase{"FixedZeroLeavesDelays", 3, L"abc", {5000, 5300}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecorderTest, StartWithoutSelectedMacroDoesNothing)
{
    page_.selected = 0;
    recorder_.StartRecording();
    EXPECT_EQ(recorder_.CaptureMode(), MacroRecorder::kIdle);
    EXPECT_TRUE(page_.calls.empty());
    Feed({Down('A')});
    EXPECT_TRUE(page_.events.empty());
}

TEST_F(RecorderTest, StartAndStopDriveThePage)
{
    page_.mode = 2;
    recorder_.StartRecording();
    EXPECT_EQ(recorder_.CaptureMode(), MacroRecorder::kRecording);
    EXPECT_EQ(recorder_.FixedDelay(), MacroRecorder::kDefaultFixedDelay);
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"buttons:stop", "disable", "capture:on"}));
    page_.calls.clear();
    recorder_.StopRecording();
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"buttons:start", "capture:off", "save", "enable"}));
    EXPECT_EQ(recorder_.CaptureMode(), MacroRecorder::kIdle);
    EXPECT_EQ(recorder_.OnHookEvent(nullptr), 0);
}

TEST_F(RecorderTest, RecordingAppendsAndKeyHeldAtStopIsRecordedAtItsReleaseNextTime)
{
    page_.events.push_back({L"Z", 2, 'Z', 0});
    recorder_.StartRecording();
    Feed({Down('A')}, 50);
    recorder_.StopRecording();
    Feed({Down('Q')});  // not recording: swallowed by nobody's rules
    recorder_.StartRecording();
    Feed({Down('A'), Up('A')}, 50);
    EXPECT_EQ(Got(), (std::vector<Recorded>{{2, 'Z'}, {2, 'A'}, {3, 'A'}}));
    // The first event of each recording measures no delay.
    EXPECT_EQ(Delays(), (std::vector<int>{0, 0, 0}));
}

TEST_F(RecorderTest, OnlyKeyboardInputIsAdded)
{
    recorder_.StartRecording();
    recorder_.AddRecordedEvent(RecordedInput::Mouse, true, 1, L"Left");
    recorder_.AddRecordedEvent(RecordedInput::Other, true, 1, L"x");
    EXPECT_TRUE(page_.events.empty());
    recorder_.AddRecordedEvent(RecordedInput::Keyboard, true, 'K', L"K");
    EXPECT_EQ(Got(), (std::vector<Recorded>{{2, 'K'}}));
}

TEST(SteadyMillisecondsTest, AdvancesInMilliseconds)
{
    const int64_t a = SteadyMilliseconds();
    const int64_t b = SteadyMilliseconds();
    EXPECT_GT(a, 0);
    EXPECT_GE(b, a);
}

} // namespace
