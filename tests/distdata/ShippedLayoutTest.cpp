#include "ShippedFiles.h"

#include "devicedesc/DeviceConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>

namespace {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// "x#y#w#h" with four non-negative decimal numbers; false for anything else.
bool ParseRect(const std::wstring& text, Rect& rect)
{
    int* parts[] = {&rect.x, &rect.y, &rect.w, &rect.h};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t end = i < 3 ? text.find(L'#', pos) : text.size();
        if (end == std::wstring::npos || end == pos || end - pos > 5)
            return false;
        for (size_t c = pos; c < end; ++c)
            if (!std::iswdigit(text[c]))
                return false;
        *parts[i] = std::stoi(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return true;
}

// One digit of row, a separator, then one digit of column (3 characters) or two.
bool ParseRowCol(const std::wstring& text, int& row, int& col)
{
    if ((text.size() != 3 && text.size() != 4) || !std::iswdigit(text[0]) || std::iswdigit(text[1]) ||
        !std::all_of(text.begin() + 2, text.end(), [](wchar_t c) { return std::iswdigit(c) != 0; }))
        return false;
    row = text[0] - L'0';
    col = std::stoi(text.substr(2));
    return true;
}

bool Overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

int Bits(const shipped::Layout& layout)
{
    int bits = 0;
    for (const auto& e : layout.effects)
        bits |= e.bits;
    return bits;
}

const shipped::Effect* EffectOfMode(const shipped::Layout& layout, int mode)
{
    for (const auto& e : layout.effects)
        if (e.mode == mode)
            return &e;
    return nullptr;
}

constexpr int kAllControls = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x1000 | 0x100 | 0x200 | 0x400 | 0x800;
constexpr int kScreenColour = 0x400;

// Takes what a layout load hands on and keeps none of it.
class NoTargets : public LayoutTargets {
public:
    void SwitchModelDatabase(const std::wstring&, int) override {}
    void SetTabVisible(int, bool) override {}
    void ShowFirmwareButton(bool visible) override { firmwareButton = visible; }
    void SetLightSliderMaxima(int, int) override {}
    LayoutPicture* Picture(unsigned) override { return nullptr; }
    bool firmwareButton = false;
};

class ShippedLayout : public testing::TestWithParam<shipped::Keyboard> {};

std::string ModelName(const testing::TestParamInfo<shipped::Keyboard>& info)
{
    return "type" + std::to_string(info.param.deviceType);
}

} // namespace

TEST_P(ShippedLayout, HasEveryElementInReadingOrder)
{
    const auto layout = shipped::ReadLayout(GetParam().layout);
    ASSERT_TRUE(layout.loaded);
    EXPECT_TRUE(layout.hasMenu && layout.hasFunction && layout.hasFirmware && layout.hasLight && layout.hasKeyboard);
    EXPECT_FALSE(layout.firmwareVersion.empty() || layout.firmwareFile.empty());
    EXPECT_FALSE(layout.image.empty());
    EXPECT_GE(layout.width, 1000);
    EXPECT_GE(layout.height, 300);
}

TEST_P(ShippedLayout, KeysHaveDistinctCodesIndexesCellsAndPlaces)
{
    const auto layout = shipped::ReadLayout(GetParam().layout);
    ASSERT_EQ(layout.keys.size(), 105u) << "a full-size board with Fn";
    ASSERT_TRUE(layout.rowCount >= 1 && layout.rowCount <= 8 && layout.colCount >= 1 && layout.colCount <= 32);

    std::set<std::wstring> codes;
    std::set<int> indexes;
    std::set<std::pair<int, int>> cells;
    std::vector<Rect> rects;
    int unassignable = 0;
    for (const auto& key : layout.keys) {
        SCOPED_TRACE(platform::ToUtf8(key.name + L" " + key.desc));
        EXPECT_FALSE(key.name.empty() || key.desc.empty());
        ASSERT_TRUE(key.code.size() == 2 && std::iswxdigit(key.code[0]) && std::iswxdigit(key.code[1]));
        EXPECT_TRUE(codes.insert(key.code).second) << "the key index map is keyed by code";
        const int code = std::stoi(key.code, nullptr, 16);
        unassignable += code == 0xFF;
        EXPECT_TRUE(code == 0xFF || (code >= 4 && code < 232)) << "keyboard usages only";

        EXPECT_TRUE(key.keyIndex >= 0 && key.keyIndex <= 109);
        EXPECT_TRUE(indexes.insert(key.keyIndex).second);

        int row = -1, col = -1;
        ASSERT_TRUE(ParseRowCol(key.rowCol, row, col)) << platform::ToUtf8(key.rowCol);
        EXPECT_TRUE(row < layout.rowCount && col < layout.colCount);
        EXPECT_TRUE(cells.insert({row, col}).second) << "cell used twice";

        Rect rect;
        ASSERT_TRUE(ParseRect(key.rect, rect)) << platform::ToUtf8(key.rect);
        EXPECT_TRUE(rect.w >= 30 && rect.h >= 30 && rect.x + rect.w <= layout.width && rect.y + rect.h <= layout.height);
        for (const auto& other : rects)
            EXPECT_FALSE(Overlap(rect, other)) << platform::ToUtf8(key.rect);
        rects.push_back(rect);
    }
    EXPECT_EQ(unassignable, 1) << "only Fn carries the unassignable code";
}

TEST_P(ShippedLayout, EffectsDriveEveryControlTheirFamilyCanServe)
{
    const auto layout = shipped::ReadLayout(GetParam().layout);
    const bool outputReportFamily = GetParam().deviceType < 200;
    // The colour stream that carries screen colours exists only for the output-report family.
    EXPECT_EQ(Bits(layout), outputReportFamily ? kAllControls : kAllControls & ~kScreenColour);

    std::set<int> modes;
    for (const auto& e : layout.effects) {
        EXPECT_TRUE(modes.insert(e.mode).second);
        EXPECT_GT(e.nameId, 0);
    }
    EXPECT_TRUE(modes.count(layout.defaultMode));
    EXPECT_TRUE(layout.defaultBrightness >= 1 && layout.defaultBrightness <= layout.brightnessMax);
    EXPECT_TRUE(layout.defaultSpeed >= 1 && layout.defaultSpeed <= layout.speedMax);
    EXPECT_LE(layout.speedMax, 15) << "speed shares its byte with flags";

    // Modes whose device command has a special byte layout must use matching controls.
    const auto* single = EffectOfMode(layout, 4);
    ASSERT_NE(single, nullptr);
    EXPECT_TRUE(single->bits & 0x20) << "mode 4 carries a single colour";
    const auto* grid = EffectOfMode(layout, 9);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->bits & (0x800 | 0x2), 0x800) << "mode 9 keeps colour choices in the speed byte";
    const auto* custom = EffectOfMode(layout, 128);
    ASSERT_NE(custom, nullptr) << "per-key colours are stored under mode 128";
    EXPECT_TRUE(custom->bits & 0x100);
}

TEST_P(ShippedLayout, ProgramLoaderTakesEveryKeyAndEffect)
{
    const auto expected = shipped::ReadLayout(GetParam().layout);
    DeviceLayout layout;
    NoTargets targets;
    ASSERT_TRUE(LoadDeviceConfig(GetParam().deviceType, GetParam().name,
                                 LayoutFilePath(platform::FromUtf8(KEYSTEAD_PROGRAM_DIR), GetParam().layout), layout,
                                 targets));
    EXPECT_EQ(layout.pageFlags, PageFlag::KeyPage | PageFlag::MacroPage | PageFlag::LightPage | PageFlag::ThirdPicture);
    EXPECT_TRUE(targets.firmwareButton);
    EXPECT_TRUE(layout.rgbKeyboard);
    EXPECT_EQ(layout.lightModes.size(), expected.effects.size());
    EXPECT_EQ(layout.keyIndexMap.size(), expected.keys.size());
    int gridKeys = 0;
    for (const auto& key : layout.keys) {
        EXPECT_NE(key.row, -1) << platform::ToUtf8(key.desc);
        gridKeys += key.code != 0xFF;
    }
    int cells = 0;
    for (const auto& row : layout.grid)
        cells += static_cast<int>(std::count_if(row.begin(), row.end(), [](uint8_t c) { return c != kNoGridKey; }));
    EXPECT_EQ(cells, gridKeys) << "every key but Fn occupies its own grid cell";
}

INSTANTIATE_TEST_SUITE_P(Models, ShippedLayout, testing::ValuesIn(shipped::ReadKeyboards()), ModelName);
