#include "macros/MacroModel.h"
#include "store/DataStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(MacroNames, DefaultAndDuplicateNames)
{
    EXPECT_EQ(MakeDefaultMacroName(L"Macro", {}), L"Macro 1");
    EXPECT_EQ(MakeDefaultMacroName(L"Macro", {L"Macro 1", L"Macro 2"}), L"Macro 3");
    EXPECT_EQ(MakeDuplicateMacroName(L"M", {L"M"}), L"M - 1");
    EXPECT_EQ(MakeDuplicateMacroName(L"M", {L"M", L"M - 1"}), L"M - 2");
    EXPECT_EQ(MakeDuplicateMacroName(L"M - 1", {L"M", L"M - 1"}), L"M - 1 - 1");
}

TEST(MacroNames, DisplayPrefix)
{
    struct Case {
        const wchar_t* stored;
        int language;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"Macro 1", 2052, L"宏 1"}, {L"宏 1", 1033, L"宏 1"}, {L"宏 2", 1046, L"宏 2"},
        {L"Macro 1", 1046, L"宏 1"}, {L"Macro 1", 1031, L"Macro 1"}, {L"宏 1", 1031, L"宏 1"},
        {L"macro 1", 2052, L"macro 1"}, {L"Macros", 2052, L"宏s"}, {L"My Macro", 2052, L"My Macro"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetMacroDisplayName(c.stored, c.language, L"宏"), c.shown) << c.stored << " " << c.language;
    EXPECT_EQ(GetMacroDisplayName(L"宏 1", 1033, L"Macro"), L"Macro 1");
}

TEST(MacroRecords, NewHeaderAndDuplicate)
{
    const MacroData fresh = NewMacroHeader(L"Macro 1");
    EXPECT_EQ(fresh.play_times, 1);
    EXPECT_EQ(fresh.delay_type, MacroDelayType::Recorded);
    EXPECT_EQ(fresh.delay_time, 0);
    EXPECT_EQ(fresh.link_count, 0);

    DataStore store;
    ASSERT_TRUE(store.OpenDatabaseFile(L":memory:"));
    const int source = store.AddMacroWithSettings({0, L"M", 4, 7, 3, 25});
    store.AddMacroEvent({0, source, MacroEventType::KeyDown, 0, 65, 30, L"A"});
    store.AddMacroEvent({0, source, MacroEventType::KeyUp, 1, 65, 0, L"A"});

    const int copy = DuplicateMacro(store, source, {L"M", L"M - 1"});
    ASSERT_GT(copy, 0);
    MacroData m;
    ASSERT_TRUE(store.GetMacro(copy, m));
    EXPECT_EQ(m.name, L"M - 2");
    EXPECT_EQ((std::vector<int>{m.link_count, m.play_times, m.delay_type, m.delay_time}),
              (std::vector<int>{4, 7, 3, 25}));
    std::vector<MacroRecordData> events;
    ASSERT_EQ(store.GetMacroEvents(copy, events), 2);
    EXPECT_EQ(events[0].desc, L"A");
    EXPECT_EQ(events[0].delay_time, 30);
    EXPECT_EQ(events[1].type, MacroEventType::KeyUp);
    EXPECT_EQ(events[1].record_index, 1);

    EXPECT_EQ(DuplicateMacro(store, 999, {}), 0);
    EXPECT_EQ(DuplicateMacro(store, 0, {}), 0);
}

} // namespace
