#include <gtest/gtest.h>

#include <functional>

#include "Bytes.h"
#include "device/FeatureCommands.h"
#include "device/KeyTables.h"
#include "device/MacroSlots.h"
#include "device/OutputCommands.h"

using namespace keystead::device;
using devtest::Significant;
using devtest::ToHex;

namespace {

LightingParams Light(int mode, int brightness, int speed, int direction, int colorful, int colorIndex,
    std::uint32_t colour, int configFunc = 0, int option = 0)
{
    return LightingParams{mode, brightness, speed, direction, colorful, colorIndex, colour, configFunc, option};
}

struct ReportCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> build;
    const char* expected; // significant bytes; everything after them must be zero
    std::size_t size;
};

template <typename R>
std::vector<std::uint8_t> Bytes(const R& report)
{
    return {report.begin(), report.end()};
}

const ReportCase kReports[] = {
    {"read slot table", [] { return Bytes(BuildReadSlotTable()); }, "07 FB 01", 8},
    {"slot table get", [] { return Bytes(BuildSlotTableGet()); }, "07 FB 01", 8},
    {"function slot", [] { return Bytes(BuildFunctionSlot(3, 0x04, 0x29)); }, "07 FA 01 03 04 01 29 01", 8},
    {"function slot freed", [] { return Bytes(BuildFunctionSlot(10, 0, 0)); }, "07 FA 01 0A 00 01 00 01", 8},
    {"function slot value low byte", [] { return Bytes(BuildFunctionSlot(1, 0x39, 0x1E9)); }, "07 FA 01 01 39 01 E9 01", 8},
    {"lighting feature", [] { return Bytes(BuildLightingFeature(Light(3, 4, 2, 1, 1, 5, 0x00FF00))); },
        "07 F7 02 05 01 01 03", 8},
    {"lighting feature keeps 0 levels", [] { return Bytes(BuildLightingFeature(Light(2, 0, 0, 0, 0, 0, 0))); },
        "07 F7 01", 8},
    {"lighting feature option needs 0x100",
        [] { return Bytes(BuildLightingFeature(Light(2, 1, 1, 0, 0, 0, 0, 0x0003, 2))); }, "07 F7 01", 8},
    {"lighting feature option", [] { return Bytes(BuildLightingFeature(Light(2, 1, 1, 0, 0, 0, 0, 0x0103, 2))); },
        "07 F7 01 00 00 00 00 02", 8},
    {"lighting feature single colour",
        [] { return Bytes(BuildLightingFeature(Light(4, 5, 3, 1, 0, 2, 0x332211))); }, "07 F7 03 02 11 22 04 33", 8},
    {"lighting feature mode 9 unreduced speed",
        [] { return Bytes(BuildLightingFeature(Light(9, 5, 3, 1, 0, 2, 0x332211))); }, "07 F7 08 02 01 03 04", 8},
    {"factory reset feature", [] { return Bytes(BuildFactoryResetFeature()); }, "07 F0 AA", 8},
    {"music level", [] { return Bytes(BuildMusicLevel(1, 6, 200)); }, "07 23 45 67 89 01 06 C8", 8},
    {"read firmware", [] { return Bytes(BuildReadFirmware()); }, "07 FD", 8},
    {"custom lighting select", [] { return Bytes(BuildCustomLightingSelect(7, 4, 3, 2)); }, "07 FF FF 06 04 03 00 02", 8},
    {"lighting mode output", [] { return Bytes(BuildLightingModeOutput(5)); }, "00 88 00 05", 65},
    {"lighting params output",
        [] { return Bytes(BuildLightingParamsOutput(Light(5, 4, 0x13, 6, 1, 0, 0x563412))); },
        "00 89 00 63 12 34 56 04", 65},
    {"lighting params output not colourful",
        [] { return Bytes(BuildLightingParamsOutput(Light(5, 4, 2, 1, 0, 0, 0x0000FF))); }, "00 89 00 12 FF 00 00 04", 65},
    {"stream start", [] { return Bytes(BuildStreamStart()); }, "00 F0 F4 01", 65},
    {"factory reset output", [] { return Bytes(BuildFactoryResetOutput()); }, "00 FF FE AA FF", 65},
    {"framed lighting", [] { return Bytes(BuildFramedLighting(Light(3, 4, 2, 1, 1, 5, 0, 0x100, 1))); },
        "BB AA 99 88 AA 02 05 01 01 03 01", 64},
    {"framed lighting single colour",
        [] { return Bytes(BuildFramedLighting(Light(4, 5, 3, 1, 0, 2, 0x332211))); }, "BB AA 99 88 AA 03 02 11 22 04 33", 64},
    {"framed lighting mode 9 has no special case",
        [] { return Bytes(BuildFramedLighting(Light(9, 5, 3, 1, 0, 2, 0))); }, "BB AA 99 88 AA 08 02 01 02 04", 64},
    {"framed reset, first report", [] { return Bytes(BuildFramedResetPart1()); }, "BB AA 99 88 AA AA AA AA AA AA", 64},
    {"framed reset, second report", [] { return Bytes(BuildFramedResetPart2()); }, "BB AA 99 88", 64},
    {"shortcut slot A",
        [] {
            const ::ShortcutStep steps[] = {{0xE0, true}, {0x04, true}, {0x04, false}, {0xE0, false}};
            return Bytes(BuildShortcutSlotA(2, steps));
        },
        "00 8E 0C 00 00 02 01 04 E0 64 80 04 64 80 04 64 00 E0 64", 65},
};

} // namespace

TEST(CommandBytes, EveryCommandByteForByte)
{
    for (const ReportCase& c : kReports) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = c.build();
        EXPECT_EQ(bytes.size(), c.size);
        EXPECT_EQ(Significant(bytes), c.expected);
    }
}

TEST(CommandBytes, EventTiming)
{
    struct Case {
        bool keyUp;
        int delay;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {false, -5, 0x01}, {false, 0, 0x01}, {false, 5, 0x01}, {false, 10, 0x01}, {true, 10, 0x81},
        {false, 11, 0x01}, {false, 19, 0x01}, {false, 20, 0x02}, {false, 310, 0x1F},
        {false, 311, 0x26}, {false, 1000, 0x34}, {false, 1550, 0x3F},
        {false, 1551, 0x2F}, {false, 3100, 0x3F}, // count d/100 with the 50 ms unit bits
        {false, 3101, 0x63}, {false, 5000, 0x65}, {false, 31000, 0x7F}, {false, 40000, 0x7F}, {true, 40000, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        EXPECT_EQ(EncodeEventTiming(c.keyUp, c.delay), c.expected);
    }
}

TEST(CommandBytes, MacroPayloadB)
{
    const SlotEvent events[] = {{0x04, false, 5}, {0x04, true, 1000}, {0x05, false, 40000}};
    const MacroSlotPayload p = BuildMacroPayloadB(3, 0x3A, 0x102, events);
    EXPECT_EQ(Significant(p), "01 03 3A 02 04 01 04 B4 05 7F");

    const ::ShortcutStep steps[] = {{0xE2, true}, {0x2C, true}, {0x1B, true}, {0x1B, false}, {0x2C, false}, {0xE2, false}};
    EXPECT_EQ(Significant(BuildShortcutPayloadB(13, 0x10, steps)), "01 0D 10 01 E2 01 2C 01 1B 01 1B 81 2C 81 E2 81");
    EXPECT_EQ(Significant(BuildFreedSlotPayloadB(5)), "01 05");
}

TEST(CommandBytes, MacroPayloadBKeepsFirst82Events)
{
    std::vector<SlotEvent> events;
    for (int i = 0; i < 90; ++i)
        events.push_back({static_cast<std::uint8_t>(i + 1), false, 0});
    const MacroSlotPayload p = BuildMacroPayloadB(1, 4, 1, events);
    EXPECT_EQ(p[4 + 2 * 81], 82);       // the 82nd event is the last one
    EXPECT_EQ(p[5 + 2 * 81], 0x01);
    EXPECT_EQ(p.size(), 4u + 2u * 82u); // and it fills the payload exactly
}

TEST(CommandBytes, MacroSlotChunksFollowThePayload)
{
    MacroSlotPayload p{};
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(ToHex(BuildMacroSlotChunk(p, 0)), "07 F1 00 01 02 03 04 05");
    EXPECT_EQ(ToHex(BuildMacroSlotChunk(p, 1)), "07 00 06 07 08 09 0A 0B");
    EXPECT_EQ(ToHex(BuildMacroSlotChunk(p, 27)), "07 00 A2 A3 A4 A5 A6 A7");
}

namespace {

std::vector<SlotEvent> Events(int count)
{
    std::vector<SlotEvent> events;
    for (int i = 0; i < count; ++i)
        events.push_back({static_cast<std::uint8_t>(4 + i % 26), i % 2 == 1, 300});
    return events;
}

} // namespace

TEST(CommandBytes, MacroSlotChunksA)
{
    struct Case {
        int events;
        std::vector<int> lengths;
    };
    const Case cases[] = {
        {0, {3}}, {10, {33}}, {18, {57}}, {19, {59, 0}}, {20, {59, 3}}, {39, {59, 59, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.events);
        const auto events = Events(c.events);
        const auto chunks = BuildMacroSlotChunksA(4, 3, events);
        ASSERT_EQ(chunks.size(), c.lengths.size());
        for (std::size_t k = 0; k < chunks.size(); ++k) {
            EXPECT_EQ(chunks[k][1], 0x8E);
            EXPECT_EQ(chunks[k][2], c.lengths[k]);
            EXPECT_EQ(chunks[k][3] | (chunks[k][4] << 8), static_cast<int>(59 * k));
            EXPECT_EQ(chunks[k][5], 4);
        }
    }
}

TEST(CommandBytes, MacroSlotDataA)
{
    const SlotEvent events[] = {{0x04, false, 300}, {0x04, true, 5}};
    const auto chunks = BuildMacroSlotChunksA(1, 500, events);
    ASSERT_EQ(chunks.size(), 1u);
    // repetitions clamped to 255, count 2, down: delay with bit 7 of the high byte,
    // up: bit 7 of the low byte.
    EXPECT_EQ(Significant(chunks[0]), "00 8E 09 00 00 01 FF 02 04 2C 81 04 85");
    EXPECT_EQ(BuildMacroSlotChunksA(1, std::nullopt, events)[0][6], 1);
    EXPECT_EQ(BuildMacroSlotChunksA(1, 0, events)[0][6], 1);
}

TEST(CommandBytes, MacroSlotDataALongMacroIsCutToTheCountByte)
{
    const auto events = Events(600);
    const auto chunks = BuildMacroSlotChunksA(0, 1, events);
    ASSERT_EQ(chunks.size(), (3u * 255u + 3u) / 60u + 1u);
    EXPECT_EQ(chunks[0][7], 255);
    EXPECT_EQ(chunks.back()[2], (3 * 255 + 3) % 60);
}

TEST(CommandBytes, TableChunks)
{
    KeyMapTable keyMap{};
    CustomColourTable colours{};
    ColourStreamTable stream{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = static_cast<std::uint8_t>(i);
        if (i < keyMap.size())
            keyMap[i] = static_cast<std::uint8_t>(i);
        if (i < stream.size())
            stream[i] = static_cast<std::uint8_t>(i);
    }
    struct Case {
        const char* name;
        std::vector<OutputReport> chunks;
        int command;
        std::vector<int> lengths;
    };
    const Case cases[] = {
        {"key map", BuildKeyMapChunks(keyMap), 0x8D, {60, 60, 60, 40}},
        {"custom colours", BuildCustomColourChunks(colours), 0x8B, {60, 60, 60, 60, 60, 60, 60, 20}},
        {"colour stream", BuildColourStreamChunks(stream), 0xF1, {60, 60, 60, 60, 60, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.chunks.size(), c.lengths.size());
        for (std::size_t k = 0; k < c.chunks.size(); ++k) {
            const OutputReport& r = c.chunks[k];
            const int offset = static_cast<int>(60 * k);
            EXPECT_EQ(r[0], 0);
            EXPECT_EQ(r[1], c.command);
            EXPECT_EQ(r[2], c.lengths[k]);
            EXPECT_EQ(r[3] | (r[4] << 8), offset);
            EXPECT_EQ(r[5], static_cast<std::uint8_t>(offset));
            EXPECT_EQ(r[4 + c.lengths[k]], static_cast<std::uint8_t>(offset + c.lengths[k] - 1));
            EXPECT_EQ(r[5 + c.lengths[k]], 0) << "nothing after the chunk's data";
        }
    }
}

TEST(CommandBytes, KeyMapEntries)
{
    const KeyIndexMap positions{{0x04, 0}, {0x05, 1}, {0x06, 2}, {0x07, 3}, {0x08, 4}, {0x09, 5}, {0x0A, 109}, {0x0B, 110}, {0x0C, -1}};
    const KeyToSlotMap slots{{0x06, 2}, {0x0A, 7}};
    const KeyMapEntry rows[] = {
        {0x04, 2, 0x129}, // another key: low byte of the value
        {0x05, 1, 1},     // disabled
        {0x06, 3, 12},    // macro with a slot
        {0x07, 3, 13},    // macro whose upload failed: no slot
        {0x08, 5, 1},     // mouse button: not on the keyboard
        {0x0A, 7, 2},     // shortcut at the last position
        {0x0B, 2, 0x10},  // position out of range
        {0x0C, 2, 0x10},  // negative position
        {0x0D, 2, 0x10},  // no position
    };
    const KeyMapTable t = BuildKeyMap(rows, positions, slots);
    EXPECT_EQ(ToHex(std::span(t).first(12)), "29 20 00 20 02 40 00 00 00 00 00 00");
    EXPECT_EQ(t[218], 7);
    EXPECT_EQ(t[219], 0x40);
    EXPECT_EQ(Significant(std::span(t).subspan(12, 206)), "");
}

TEST(CommandBytes, ColourTables)
{
    const KeyIndexMap positions{{0x04, 0}, {0x05, 109}, {0x06, 200}};
    const KeyColour colours[] = {{0x04, 0x332211}, {0x05, 0x000001}, {0x06, 0xFFFFFF}, {0x07, 0xFFFFFF}};
    const CustomColourTable custom = BuildCustomColourTable(colours, positions);
    EXPECT_EQ(ToHex(std::span(custom).first(8)), "11 22 33 FF 00 00 00 00");
    EXPECT_EQ(ToHex(std::span(custom).last(4)), "01 00 00 FF");
    const ColourStreamTable stream = BuildColourStreamTable(colours, positions);
    EXPECT_EQ(ToHex(std::span(stream).first(6)), "11 22 33 00 00 00");
    EXPECT_EQ(ToHex(std::span(stream).last(3)), "01 00 00");
    EXPECT_EQ(Significant(std::span(stream).subspan(3, 324)), "");
}

TEST(CommandBytes, Replies)
{
    SlotTable table{};
    table.fill(0xEE);
    MergeSlotTableReply(table, 0, std::vector<std::uint8_t>{0x07, 0, 1, 2, 3, 4, 5, 6});
    MergeSlotTableReply(table, 1, std::vector<std::uint8_t>{0x07, 9, 9}); // short reply
    MergeSlotTableReply(table, 4, std::vector<std::uint8_t>{0x07, 1, 1, 1, 1, 1, 1, 1}); // no such get
    MergeSlotTableReply(table, 2, std::vector<std::uint8_t>{0x07});
    EXPECT_EQ(ToHex(std::span(table).first(14)), "00 01 02 03 04 05 06 09 09 EE EE EE EE EE");
    EXPECT_EQ(MacroSlotKey(table, 1), 1);
    EXPECT_EQ(MacroSlotKey(table, 14), 0);
    EXPECT_EQ(FunctionSlotKey(table, 1), 0xEE);
    EXPECT_EQ(FunctionSlotKey(table, 0), 0);

    EXPECT_EQ(ParseFirmwareVersion(std::vector<std::uint8_t>{0x07, 0x01, 0x05}), 0x0105);
    EXPECT_EQ(ParseFirmwareVersion(std::vector<std::uint8_t>{0x07, 0x01}), std::nullopt);

    EXPECT_EQ(MusicLevel(100.0, 1.5), 150);
    EXPECT_EQ(MusicLevel(1000.0, 1.0), 255);
    EXPECT_EQ(MusicLevel(-3.0, 1.0), 0);
    EXPECT_EQ(MusicLevel(2.9, 1.0), 2);
}
