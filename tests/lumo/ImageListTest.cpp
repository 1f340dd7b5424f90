#include "LumoTestSupport.h"

#include "lumo/MImageList.h"

#include <gtest/gtest.h>

using namespace Lumo;
using namespace LumoTest;

namespace {

constexpr ARGB kFrames[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

struct ImageListTest : ::testing::Test {
    TempSkins skins;
    std::wstring strip, single;
    void SetUp() override
    {
        // A strip of four 10 x 8 frames, one colour each, and a plain 6 x 6 picture.
        strip = Wide(skins.Png("strip.png", 40, 8, [](cairo_t* cr) {
            for (int i = 0; i < 4; ++i)
                Fill(cr, i * 10, 0, 10, 8, kFrames[i]);
        }));
        single = Wide(skins.Png("single.png", 6, 6, [](cairo_t* cr) { Fill(cr, 0, 0, 6, 6, 0xFF808080); }));
    }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
};

} // namespace

TEST_F(ImageListTest, EntriesKeepOrderIdsAndFrameWidths)
{
    MImageList list;
    EXPECT_EQ(list.AddImage(strip, 11, 4), 0);
    EXPECT_EQ(list.AddImage(single, 22, 0), 1) << "a frame count below 1 counts as 1";
    EXPECT_EQ(list.InsertImage(0, single, 33, 1), 0);
    EXPECT_EQ(list.InsertImage(-1, strip, 11, 2), 3) << "-1 appends";
    EXPECT_EQ(list.InsertImage(5, single, 44, 1), -1) << "out of range";
    EXPECT_EQ(list.InsertImage(-2, single, 44, 1), -1);
    EXPECT_EQ(list.AddImage(L"/nonexistent/x.png", 55, 1), -1);
    EXPECT_EQ(list.AddImage(L"strip.png", 66, 4), -1) << "paths are not resolved against the skin folder";
    ASSERT_EQ(list.GetImageCount(), 4);

    const ImageListEntry* e = list.GetItemImageData(1);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->id, 11u);
    EXPECT_EQ(e->frames, 4);
    EXPECT_EQ(e->frameWidth, 10);
    EXPECT_EQ(e->height, 8);
    EXPECT_EQ(e->path, strip);
    EXPECT_EQ(list.GetItemImageData(2)->frames, 1);
    EXPECT_EQ(list.GetItemImageData(2)->frameWidth, 6);
    EXPECT_EQ(list.GetItemImageData(4), nullptr);
    EXPECT_EQ(list.GetItemImageData(-1), nullptr);

    EXPECT_EQ(list.GetImageDataByID(11), e) << "the first entry with the id";
    EXPECT_EQ(list.GetImageDataByID(99), nullptr);
    EXPECT_EQ(list.GetImagePath(0), single);
    EXPECT_EQ(list.GetImagePath(7), L"");
    EXPECT_EQ(list.GetImagePathByID(33), single);
    EXPECT_EQ(list.GetImagePathByID(99), L"");

    list.SetDrawImgSize(16, 12);
    EXPECT_EQ(list.GetIconSize(), (Size{16, 12}));
    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
    EXPECT_EQ(list.GetImageDataByID(11), nullptr);
}

TEST_F(ImageListTest, DrawsTheWholeImageOrOneFrame)
{
    MImageList list;
    ASSERT_EQ(list.AddImage(strip, 1, 4), 0);
    auto dc = Canvas::Create(100, 40);

    list.DrawItemIcon(*dc, Rect(0, 0, 80, 16), 0); // whole strip, twice its size
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Pixel(*dc, i * 20 + 10, 8), kFrames[i]) << "frame " << i;

    struct Case {
        int frame;
        ARGB color;
    } cases[] = {{2, kFrames[2]}, {9, kFrames[3]}, {-1, kFrames[0]}};
    for (const auto& c : cases) {
        list.DrawItemIcon(*dc, Rect(0, 20, 20, 40), 0, c.frame);
        EXPECT_EQ(Pixel(*dc, 1, 21), c.color) << c.frame;
        EXPECT_EQ(Pixel(*dc, 18, 38), c.color) << c.frame;
    }
    dc->Clear(dc->Bounds());
    list.DrawItemIcon(*dc, Rect(0, 0, 20, 20), 3);
    list.DrawItemIcon(*dc, Rect(0, 0, 20, 20), 3, 0);
    EXPECT_EQ(Pixel(*dc, 10, 10), 0u) << "no entry, nothing drawn";
}
