#include <gtest/gtest.h>

#include "Bytes.h"
#include "StackRig.h"
#include "device/FeatureCommands.h"
#include "device/MacroSlots.h"
#include "device/Uploads.h"

using namespace keystead::device;
using devtest::StackRig;
using Pauses = std::vector<int>;
using Strings = std::vector<std::string>;

namespace {

constexpr int kVkA = 65;
constexpr int kVkB = 66;

Pauses Concat(std::initializer_list<Pauses> parts)
{
    Pauses all;
    for (const Pauses& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Strings Matching(const Strings& reports, const std::string& prefix)
{
    Strings out;
    for (const std::string& r : reports)
        if (r.rfind(prefix, 0) == 0)
            out.push_back(r);
    return out;
}

} // namespace

TEST(Uploads, FamilyAMacroShortcutAndKeySlots)
{
    StackRig rig(100);
    const int m1 = rig.AddMacro(L"M1", 2, {{kVkA, 300}});
    const int m2 = rig.AddMacro(L"M2", 1, {{kVkB, 5}});
    rig.Assign(0x04, 3, m1);
    rig.Assign(0x05, 7, 1); // select all
    rig.Assign(0x06, 3, m2);
    rig.Assign(0x07, 2, 0x29);
    rig.Assign(0x08, 1, 1);
    rig.Assign(0x09, 5, 1);
    rig.Run(Task::UploadKeys);

    const auto state = rig.keyboard->State();
    EXPECT_EQ(devtest::ToHex(std::span(state.keyMap).first(12)), "00 40 02 40 01 40 29 20 00 20 00 00");
    EXPECT_EQ(rig.worker.KeyToSlot(), (KeyToSlotMap{{0x04, 0}, {0x06, 1}, {0x05, 2}}));

    const auto slot0 = rig.keyboard->MacroSlotA(0);
    ASSERT_TRUE(slot0);
    EXPECT_EQ(slot0->repetitions, 2);
    ASSERT_EQ(slot0->events.size(), 2u);
    EXPECT_EQ(slot0->events[0].usage, 4);
    EXPECT_EQ(slot0->events[0].delayMs, 300);
    EXPECT_FALSE(slot0->events[0].keyUp);
    EXPECT_TRUE(slot0->events[1].keyUp);
    const auto shortcut = rig.keyboard->MacroSlotA(2);
    ASSERT_TRUE(shortcut);
    ASSERT_EQ(shortcut->events.size(), 4u);
    EXPECT_EQ(shortcut->events[0].usage, 0xE0);
    EXPECT_EQ(shortcut->events[1].usage, 0x04);
    EXPECT_EQ(shortcut->events[3].delayMs, 100);
    EXPECT_TRUE(shortcut->events[3].keyUp);

    EXPECT_EQ(rig.clock.Pauses(), Pauses({10, 100, 10, 100, 10, 20, 10, 10, 10, 10, 100}));
    EXPECT_EQ(rig.host.calls, Strings({"disable", "close wait", "enable"}));
}

TEST(Uploads, FamilyAFailedMacroEndsTheSlotsButNotTheKeyMap)
{
    StackRig rig(100);
    const int m1 = rig.AddMacro(L"M1", 1, {{kVkA, 10}});
    const int m2 = rig.AddMacro(L"M2", 1, {{kVkB, 10}});
    rig.Assign(0x04, 3, m1);
    rig.Assign(0x05, 3, m2);
    rig.Assign(0x06, 7, 2);
    rig.keyboard->SetFault([](char kind, std::span<const std::uint8_t> r) {
        return kind == 'O' && r[1] == 0x8E && r[5] == 1; // the second macro's slot
    });
    rig.Run(Task::UploadKeys);

    const auto keyMap = rig.keyboard->State().keyMap;
    EXPECT_EQ(devtest::ToHex(std::span(keyMap).first(6)), "00 40 00 00 00 00");
    EXPECT_EQ(Matching(rig.Reports(), "O 00 8E").size(), 1u) << "no shortcut after the failure";
    EXPECT_EQ(Matching(rig.Reports(), "O 00 8D").size(), 4u);
    EXPECT_EQ(rig.clock.Pauses(), Pauses({10, 100, 10, 100, 10, 20, 10, 10, 10, 10, 100}));
}

TEST(Uploads, FamilyBFreesOccupiedSlotsThenNumbersInListOrder)
{
    StackRig rig(201);
    // The keyboard holds macro slots 2 and 5 and function slot 3 from an earlier upload.
    for (const auto& [slot, key] : {std::pair{2, 0x11}, std::pair{5, 0x12}}) {
        const MacroSlotPayload held = BuildShortcutPayloadB(slot, key, SystemShortcut(1));
        for (int chunk = 0; chunk < kMacroSlotChunks; ++chunk)
            ASSERT_TRUE(rig.link->SendFeatureNow(BuildMacroSlotChunk(held, chunk)));
    }
    ASSERT_TRUE(rig.link->SendFeatureNow(BuildFunctionSlot(3, 0x13, 1)));
    rig.Reset();

    const int macro = rig.AddMacro(L"M", 3, {{kVkA, 300}});
    rig.Assign(0x04, 2, 0x129);
    rig.Assign(0x05, 3, macro);
    rig.Assign(0x06, 4, 7);
    rig.Run(Task::UploadKeys);

    const auto state = rig.keyboard->State();
    EXPECT_EQ(state.functionSlotKey[1], 0x04);
    EXPECT_EQ(state.functionSlotValue[1], 0x29);
    EXPECT_EQ(state.functionSlotKey[2], 0x06);
    EXPECT_EQ(state.functionSlotValue[2], 7);
    EXPECT_EQ(state.functionSlotKey[3], 0);
    EXPECT_EQ(state.macroSlotKey[1], 0x05);
    EXPECT_EQ(state.macroSlotKey[2], 0);
    EXPECT_EQ(state.macroSlotKey[5], 0);
    const auto events = rig.keyboard->MacroSlotEventsB(1);
    EXPECT_EQ(events, (std::vector<std::pair<std::uint8_t, std::uint8_t>>{{0x04, 0x1E}, {0x04, 0x9E}}));

    EXPECT_EQ(Matching(rig.Reports(), "F 07 F1"), Strings({"F 07 F1 01 02", "F 07 F1 01 05", "F 07 F1 01 01 05 03 04 1E"}));
    EXPECT_EQ(Matching(rig.Reports(), "F 07 FA"),
        Strings({"F 07 FA 01 03 00 01 00 01", "F 07 FA 01 01 04 01 29 01", "F 07 FA 01 02 06 01 07 01"}));
    // 16 ms before each slot operation on top of the 16 ms before each feature report.
    const Pauses transfer(1 + kMacroSlotChunks, 16);
    EXPECT_EQ(rig.clock.Pauses(),
        Concat({Pauses(4, 16), transfer, transfer, {16, 16}, {16, 16}, transfer, {16, 16}, {100}}));
}

TEST(Uploads, FamilyBFunctionSlotFollowsTheStoredValue)
{
    StackRig rig(201);
    rig.Assign(0x04, 5, 0x103); // a value beyond a byte: its low byte
    rig.Assign(0x05, 1, 1);
    rig.Run(Task::UploadKeys);
    EXPECT_EQ(Matching(rig.Reports(), "F 07 FA"), Strings({"F 07 FA 01 01 04 01 03 01", "F 07 FA 01 02 05 01 01 01"}));
}

TEST(Uploads, Lighting)
{
    struct Case {
        const char* name;
        int type;
        int mode;
        bool pickedMode; // the lighting page asked for the mode itself
        Strings reports;
    };
    const Case cases[] = {
        {"family A parameters", 100, 0, false, {"O 00 89 00 13 00 FF 00 04"}},
        {"family A new mode", 100, 0, true, {"O 00 88 00 05"}},
        {"family B cable", 201, 0, true, {"F 07 F7 04 02 01 02 03"}},
        {"family B receiver", 201, 1, false, {"O 00 BB AA 99 88 AA 04 02 01 02 03"}},
        {"family B bluetooth", 201, 2, false, {"O 00 BB AA 99 88 AA 04 02 01 02 03"}},
        {"no family", 300, 0, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StackRig rig(c.type, c.mode);
        rig.AddLight(5, 4, 3, 1, 0, 2, 0x00FF00);
        if (c.pickedMode)
            rig.worker.RequestLightingMode();
        rig.Run(Task::UploadLighting);
        EXPECT_EQ(rig.Reports(), c.reports);
        EXPECT_EQ(rig.host.calls, Strings({"disable", "close wait", "enable"}));
    }
    // After the mode went out, the next upload carries the parameters.
    StackRig rig(100);
    rig.AddLight(5, 4, 3, 1, 1, 2, 0x0000FF);
    rig.worker.RequestLightingMode();
    rig.Run(Task::UploadLighting);
    rig.Run(Task::UploadLighting);
    EXPECT_EQ(rig.Reports(), Strings({"O 00 88 00 05", "O 00 89 00 53 FF 00 00 04"}));
    const auto light = rig.keyboard->State().lighting;
    EXPECT_EQ(light.mode, 5);
    EXPECT_EQ(light.colorful, 1);
    EXPECT_EQ(light.colour, 0x0000FFu);
}

TEST(Uploads, CustomColoursStopAtTheFirstFailedChunk)
{
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail);
        StackRig rig(201);
        rig.store.SaveKeyLights({{0, 1, 128, 0x04, 0x332211}, {0, 1, 128, 0x2C, 0x0000FF}, {0, 1, 128, 0x99, 0xFFFFFF},
            {0, 1, 129, 0x05, 0xFFFFFF}});
        if (fail)
            rig.keyboard->SetFault([](char, std::span<const std::uint8_t> r) { return r[1] == 0x8B && r[3] == 120; });
        rig.Run(Task::UploadColours);
        const auto colours = rig.keyboard->State().customColours;
        EXPECT_EQ(devtest::ToHex(std::span(colours).first(8)), "11 22 33 FF 00 00 00 00");
        if (fail) {
            EXPECT_EQ(Matching(rig.Reports(), "O 00 8B").size(), 2u);
            EXPECT_EQ(rig.clock.Pauses(), Pauses({1, 1, 1, 10, 100}));
        } else {
            EXPECT_EQ(devtest::ToHex(std::span(colours).last(4)), "FF 00 00 FF");
            EXPECT_EQ(rig.clock.Pauses(), Pauses({1, 1, 1, 1, 1, 1, 1, 1, 100}));
        }
    }
}

TEST(Uploads, FactoryReset)
{
    struct Case {
        int type;
        int mode;
        Strings reports;
        Pauses pauses;
        Strings calls;
    };
    const Strings reloads = {"disable", "macros", "profiles", "lighting", "close wait", "enable"};
    const Case cases[] = {
        {100, 0, {"O 00 FF FE AA FF"}, {100, 100}, reloads},
        {201, 0, {"F 07 F0 AA"}, {16, 100, 100}, reloads},
        {201, 1, {"O 00 BB AA 99 88 AA AA AA AA AA AA", "O 00 BB AA 99 88"}, {1600, 100}, reloads},
        {201, 2, {"O 00 BB AA 99 88 AA AA AA AA AA AA", "O 00 BB AA 99 88"}, {1600, 100}, reloads},
        {300, 0, {}, {100}, {"disable", "close wait", "enable"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " mode " + std::to_string(c.mode));
        StackRig rig(c.type, c.mode);
        rig.Assign(0x04, 2, 0x29);
        ASSERT_TRUE(rig.link->SendFeatureNow(BuildFunctionSlot(1, 0x04, 0x29)));
        rig.Reset();
        rig.Run(Task::FactoryReset);
        EXPECT_EQ(rig.Reports(), c.reports);
        EXPECT_EQ(rig.clock.Pauses(), c.pauses);
        EXPECT_EQ(rig.host.calls, c.calls);
        const auto state = rig.keyboard->State();
        EXPECT_EQ(state.factoryResets, c.reports.empty() ? 0 : 1);
        EXPECT_EQ(state.functionSlotKey[1], c.reports.empty() ? 0x04 : 0);
    }
}

TEST(Uploads, CommandsOutsideTheWorker)
{
    StackRig rig(100);
    rig.AddLight(7, 4, 3, 0, 1, 0, 0x0000FF, 0x100);
    SelectCustomLighting(*rig.link, rig.store, 7, 2);
    EXPECT_TRUE(SendMusicLevel(*rig.link, 1, 6, 100.0, 1.5));
    SelectCustomLighting(*rig.link, rig.store, 8, 2); // no such mode: nothing
    EXPECT_EQ(rig.Reports(), Strings({"F 07 FF FF 06 04 03 00 02", "F 07 23 45 67 89 01 06 96"}));
    EXPECT_EQ(rig.clock.Pauses(), Pauses({16}));
    const auto state = rig.keyboard->State();
    EXPECT_EQ(state.customSelection.mode, 7);
    EXPECT_EQ(state.customSelection.option, 2);
    EXPECT_EQ(state.musicLevel, 150);
    EXPECT_EQ(ReadKeyboardFirmware(*rig.link), 0x0105);
    rig.keyboard->DetachAll();
    EXPECT_EQ(ReadKeyboardFirmware(*rig.link), -1);
}
