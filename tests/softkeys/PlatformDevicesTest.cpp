#include "Reports.h"

#include "platform/FilterRouter.h"
#include "platform/InjectionDecoder.h"
#include "platform/KeyCapture.h"
#include "platform/KeyUsageMap.h"
#include "platform/UinputVirtualDevice.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

namespace {

using platform::InputEventSpec;
constexpr InputEventSpec Key(uint16_t code, int value) { return {EV_KEY, code, value}; }
constexpr InputEventSpec kSyn{EV_SYN, SYN_REPORT, 0};

TEST(InjectionReportTest, LayoutOfIdAndData)
{
    const uint8_t data[] = {0xAA, 0xBB};
    const auto withId = platform::InjectionReport::Make(3, data);
    EXPECT_EQ(withId.bytes[0], 0x05);
    EXPECT_EQ(withId.bytes[1], 3);
    EXPECT_EQ(withId.bytes[2], 0xAA);
    EXPECT_EQ(withId.bytes[3], 0xBB);
    const auto idZero = platform::InjectionReport::Make(0, data);
    EXPECT_EQ(idZero.bytes[1], 0xAA);
    // Over-long data is cut at the end of the 64 bytes.
    std::vector<uint8_t> big(100, 0x11);
    const auto cut = platform::InjectionReport::Make(1, big);
    EXPECT_EQ(cut.bytes[63], 0x11);
}

TEST(InjectionDecoderTest, ReportSequenceBecomesInputEvents)
{
    platform::InjectionDecoder d;
    struct Step {
        platform::InjectionReport report;
        std::vector<InputEventSpec> events;
    };
    const Step steps[] = {
        {expect::Keys({224}), {Key(KEY_LEFTCTRL, 1), kSyn}},
        {expect::Keys({224, 25}), {Key(KEY_V, 1), kSyn}},
        {expect::Keys({224, 25}), {}},                                   // nothing changed
        {expect::Keys({224, 4}), {Key(KEY_V, 0), Key(KEY_A, 1), kSyn}},  // release before press
        {expect::Keys({0}), {Key(KEY_A, 0), Key(KEY_LEFTCTRL, 0), kSyn}},  // usage 0 presses nothing
        {expect::Mouse(0x05), {Key(BTN_LEFT, 1), Key(BTN_MIDDLE, 1), kSyn}},
        {expect::Mouse(0x18), {Key(BTN_LEFT, 0), Key(BTN_MIDDLE, 0), Key(BTN_SIDE, 1), Key(BTN_EXTRA, 1), kSyn}},
        {expect::Mouse(0xE0), {Key(BTN_SIDE, 0), Key(BTN_EXTRA, 0), kSyn}},  // bits 5-7 have no button
        {expect::Consumer(0x00E9), {Key(KEY_VOLUMEUP, 1), kSyn}},
        {expect::Consumer(0x00CD), {Key(KEY_VOLUMEUP, 0), Key(KEY_PLAYPAUSE, 1), kSyn}},
        {expect::Consumer(0), {Key(KEY_PLAYPAUSE, 0), kSyn}},
        {expect::Raw(4, {}), {}},
    };
    for (const auto& s : steps)
        EXPECT_EQ(d.Decode(s.report), s.events);
}

TEST(InjectionDecoderTest, ReleaseEverythingReleasesWhatIsDown)
{
    platform::InjectionDecoder d;
    d.Decode(expect::Keys({4}));
    d.Decode(expect::Mouse(0x02));
    d.Decode(expect::Consumer(0x00E2));
    EXPECT_EQ(d.ReleaseEverything(),
              (std::vector<InputEventSpec>{Key(KEY_A, 0), Key(BTN_RIGHT, 0), Key(KEY_MUTE, 0), kSyn}));
    EXPECT_TRUE(d.ReleaseEverything().empty());
}

TEST(FilterRouterTest, HeldKeysAreReportedAndReleasesFollowTheirPress)
{
    using A = platform::FilterRouter::Action;
    platform::FilterRouter r;
    r.SetHeldUsages({4});  // A
    struct Step {
        uint16_t code;
        int value;
        A action;
        bool pressed;
    };
    const Step steps[] = {
        {KEY_A, 1, A::Report, true},
        {KEY_A, 2, A::Drop, false},  // repeats come from the virtual device
        {KEY_B, 1, A::Pass, false},
        {KEY_A, 0, A::Report, false},
        {KEY_B, 0, A::Pass, false},
    };
    for (const auto& s : steps) {
        const auto d = r.Route(s.code, s.value);
        EXPECT_EQ(d.action, s.action) << s.code << "/" << s.value;
        if (d.action == A::Report) {
            EXPECT_EQ(d.usage, 4);
            EXPECT_EQ(d.pressed, s.pressed);
        }
    }
    // A key pressed before the table changed keeps its way until released.
    EXPECT_EQ(r.Route(KEY_A, 1).action, A::Report);
    r.SetHeldUsages({5});
    EXPECT_EQ(r.Route(KEY_A, 0).action, A::Report); // released to the program, not the system
    EXPECT_EQ(r.Route(KEY_A, 1).action, A::Pass);
    EXPECT_EQ(r.Route(KEY_A, 0).action, A::Pass);
}

TEST(KeyUsageMapTest, UsagesAndInputCodesCorrespond)
{
    const std::pair<int, int> pairs[] = {{4, KEY_A}, {29, KEY_Z}, {39, KEY_0}, {40, KEY_ENTER},
                                         {57, KEY_CAPSLOCK}, {69, KEY_F12}, {83, KEY_NUMLOCK}, {88, KEY_KPENTER},
                                         {98, KEY_KP0}, {100, KEY_102ND}, {101, KEY_COMPOSE}, {104, KEY_F13},
                                         {224, KEY_LEFTCTRL}, {231, KEY_RIGHTMETA}};
    for (const auto& [usage, code] : pairs) {
        EXPECT_EQ(platform::KeyboardUsageToEvdev(usage), code) << usage;
        EXPECT_EQ(platform::EvdevToKeyboardUsage(code), usage) << usage;
    }
    EXPECT_EQ(platform::KeyboardUsageToEvdev(50), KEY_BACKSLASH);  // non-US # shares the key
    EXPECT_EQ(platform::EvdevToKeyboardUsage(KEY_BACKSLASH), 49);
    EXPECT_EQ(platform::KeyboardUsageToEvdev(0), 0);
    EXPECT_EQ(platform::KeyboardUsageToEvdev(-1), 0);
    EXPECT_EQ(platform::KeyboardUsageToEvdev(300), 0);
    EXPECT_EQ(platform::EvdevToKeyboardUsage(BTN_LEFT), 0);
    EXPECT_EQ(platform::EvdevToKeyboardUsage(100000), 0);
}

struct CaptureCase {
    const char* name;
    int sdl;
    bool pressed, numLock, alt;
    platform::KeyHookEvent expected;
};

class KeyCaptureTest : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(KeyCaptureTest, SdlKeyBecomesHookEvent)
{
    const auto& c = GetParam();
    platform::KeyHookEvent ev;
    ASSERT_TRUE(platform::TranslateSdlKey(c.sdl, c.pressed, c.numLock, c.alt, ev));
    EXPECT_EQ(ev.message, c.expected.message);
    EXPECT_EQ(ev.vkCode, c.expected.vkCode);
    EXPECT_EQ(ev.scanCode, c.expected.scanCode);
    EXPECT_EQ(ev.flags, c.expected.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyCaptureTest,
    ::testing::Values(
        CaptureCase{"A", 4, true, true, false, {0x100, 'A', 0x1E, 0}},
        CaptureCase{"AUp", 4, false, true, false, {0x101, 'A', 0x1E, 0x80}},
        CaptureCase{"Keypad7NumLockOn", 95, true, true, false, {0x100, 103, 71, 0}},
        CaptureCase{"Keypad7NumLockOff", 95, true, false, false, {0x100, 36, 71, 0}},
        CaptureCase{"Home", 74, true, true, false, {0x100, 36, 71, 1}},
        CaptureCase{"KeypadEnter", 88, true, true, false, {0x100, 13, 28, 1}},
        CaptureCase{"KeypadEnterUp", 88, false, true, false, {0x101, 13, 28, 0x81}},
        CaptureCase{"RightCtrl", 228, true, true, false, {0x100, 163, 0x1D, 1}},
        CaptureCase{"AltTab", 43, true, true, true, {0x104, 9, 0x0F, 0x20}},
        CaptureCase{"F10IsSystemKey", 67, true, true, false, {0x104, 121, 0x44, 0}},
        CaptureCase{"MediaSelect", 263, true, true, false, {0x100, 181, 0x6D, 1}},
        CaptureCase{"VolumeUp", 128, true, true, false, {0x100, 175, 0x30, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyCaptureTest, EvdevCodesGoTheSameWay)
{
    platform::KeyHookEvent ev;
    ASSERT_TRUE(platform::TranslateEvdevKey(KEY_KP7, true, false, false, ev));
    EXPECT_EQ(ev.vkCode, 36u);
    EXPECT_EQ(ev.scanCode, 71u);
    ASSERT_TRUE(platform::TranslateEvdevKey(KEY_NEXTSONG, true, true, false, ev));
    EXPECT_EQ(ev.vkCode, 176u);
    EXPECT_FALSE(platform::TranslateEvdevKey(BTN_LEFT, true, true, false, ev));
    EXPECT_FALSE(platform::TranslateSdlKey(0, true, true, false, ev));
}

// Needs a writable /dev/uinput, which build machines and CI do not have.
TEST(UinputVirtualDeviceTest, CreatesDeviceAndTakesReports)
{
    const int probe = open("/dev/uinput", O_WRONLY | O_CLOEXEC);
    if (probe < 0)
        GTEST_SKIP() << "/dev/uinput is not available";
    close(probe);
    platform::UinputVirtualDevice device;
    ASSERT_TRUE(device.Find());
    EXPECT_TRUE(device.Write(expect::Keys({})));
    EXPECT_TRUE(device.Write(expect::Consumer(0)));
    device.Close();
    EXPECT_FALSE(device.Write(expect::Keys({})));
}

TEST(UinputVirtualDeviceTest, WithoutDeviceNothingIsWritten)
{
    platform::UinputVirtualDevice device;
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.Write(expect::Keys({4})));
}

} // namespace
