#include "RecordingBackend.h"
#include "TestDialog.h"

#include "lumo/MShadow.h"
#include "lumo/MessageLoop.h"
#include "lumo/ResourceModule.h"
#include "lumo/ShadowPicture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace Lumo;
using namespace LumoTest;

namespace {

BYTE AlphaAt(const Canvas& c, int x, int y) { return AlphaOf(c.GetPixel(x, y)); }

struct ShadowTest : ::testing::Test {
    TempSkins skins;
    void TearDown() override
    {
        PumpMessages();
        Message m;
        while (PeekMessageW(m)) {
        }
    }
    // 30 x 30: 10-pixel corners in red (top left), green (top right), blue (bottom left),
    // white (bottom right), the rest grey.
    void ShadowImage(const std::string& name)
    {
        skins.Png(name, 30, 30, [](cairo_t* cr) {
            Fill(cr, 0, 0, 30, 30, 0xFF808080);
            Fill(cr, 0, 0, 10, 10, 0xFFFF0000);
            Fill(cr, 20, 0, 10, 10, 0xFF00FF00);
            Fill(cr, 0, 20, 10, 10, 0xFF0000FF);
            Fill(cr, 20, 20, 10, 10, 0xFFFFFFFF);
        });
    }
};

} // namespace

TEST_F(ShadowTest, SettersKeepTheirRangesAndThePreviousValue)
{
    TestDialog d; // no window: the settings live on their own
    EXPECT_EQ(d.GetShadow(), nullptr);
    struct Case {
        const char* what;
        std::function<int(MDialog&)> set;
        int expected;
    } cases[] = {
        {"size 36", [](MDialog& m) { return m.SetSize(36); }, 0},
        {"size -36", [](MDialog& m) { return m.SetSize(-36); }, 0},
        {"size -35", [](MDialog& m) { return m.SetSize(-35); }, 1},
        {"size 35", [](MDialog& m) { return m.SetSize(35); }, 1},
        {"sharpness -1", [](MDialog& m) { return m.SetSharpness(-1); }, 0},
        {"sharpness 36", [](MDialog& m) { return m.SetSharpness(36); }, 0},
        {"sharpness 0", [](MDialog& m) { return m.SetSharpness(0); }, 1},
        {"sharpness 35", [](MDialog& m) { return m.SetSharpness(35); }, 1},
        {"darkness -1", [](MDialog& m) { return m.SetDarkness(-1); }, 0},
        {"darkness 256", [](MDialog& m) { return m.SetDarkness(256); }, 0},
        {"darkness 255", [](MDialog& m) { return m.SetDarkness(255); }, 1},
        {"darkness 0", [](MDialog& m) { return m.SetDarkness(0); }, 1},
        {"position 36,0", [](MDialog& m) { return m.SetPosition(36, 0); }, 0},
        {"position 0,-36", [](MDialog& m) { return m.SetPosition(0, -36); }, 0},
        {"position -35,35", [](MDialog& m) { return m.SetPosition(-35, 35); }, 1},
    };
    for (const auto& c : cases) {
        TestDialog fresh;
        EXPECT_EQ(c.set(fresh), c.expected) << c.what;
        const MShadow& s = *fresh.GetShadow();
        if (c.expected == 0) { // every value still the initial one
            EXPECT_EQ(s.GetSize(), 0) << c.what;
            EXPECT_EQ(s.GetSharpness(), 5) << c.what;
            EXPECT_EQ(s.GetDarkness(), 150) << c.what;
            EXPECT_EQ(s.GetPosition(), Point(5, 5)) << c.what;
        }
    }
    EXPECT_EQ(d.SetSize(12), 1);
    EXPECT_EQ(d.SetSize(36), 0);
    EXPECT_EQ(d.GetShadow()->GetSize(), 12);
    EXPECT_EQ(d.SetShadowColor(RGB(10, 20, 30)), 1);
    EXPECT_EQ(d.GetShadow()->GetShadowColor(), RGB(10, 20, 30));
    EXPECT_EQ(d.CreateShadow(1), 0) << "a shadow needs its window";
}

TEST_F(ShadowTest, ComputedPictureFadesOverTheSharpnessAndTakesTheColour)
{
    ShadowShape shape;
    shape.darkness = 200;
    shape.sharpness = 4;
    shape.size = 3;
    auto p = ComputeShadowPicture(Size{100, 60}, shape);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Width(), 106);
    EXPECT_EQ(p->Height(), 66);
    EXPECT_EQ(AlphaAt(*p, 53, 33), 200) << "the core has the full darkness";
    EXPECT_EQ(AlphaAt(*p, 4, 33), 200) << "full from sharpness pixels in";
    EXPECT_EQ(AlphaAt(*p, 0, 33), 40) << "outermost pixel: one step of five";
    EXPECT_EQ(AlphaAt(*p, 2, 33), 120);
    EXPECT_EQ(AlphaAt(*p, 105, 33), 40) << "the far edge fades the same way";
    EXPECT_EQ(AlphaAt(*p, 0, 0), 8) << "corners fade both ways";
    for (int x = 0; x < 4; ++x)
        EXPECT_LT(AlphaAt(*p, x, 33), AlphaAt(*p, x + 1, 33)) << x;
    EXPECT_EQ(p->GetPixel(53, 33) & 0x00FFFFFFu, 0u) << "black by default";

    shape.sharpness = 0;
    shape.darkness = 255;
    shape.color = RGB(255, 128, 0);
    p = ComputeShadowPicture(Size{10, 10}, shape);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->GetPixel(0, 0), 0xFFFF8000u) << "no sharpness: a hard edge, tinted";
    shape.darkness = 128;
    p = ComputeShadowPicture(Size{10, 10}, shape);
    EXPECT_EQ(p->GetPixel(8, 8), 0x80804000u) << "premultiplied tint";

    shape.size = -35;
    EXPECT_FALSE(ComputeShadowPicture(Size{60, 40}, shape)) << "a shadow smaller than nothing";

    shape.size = 3;
    shape.offsetX = 5;
    shape.offsetY = -4;
    EXPECT_EQ(ComputedShadowRect(Rect(100, 100, 300, 200), shape), Rect(102, 93, 308, 199));
}

TEST_F(ShadowTest, ImagePictureSurroundsTheWindowWithTheCornerMargins)
{
    ShadowImage("shadow.png");
    auto image = Image::LoadFromFile(std::wstring(skins.Dir().begin(), skins.Dir().end()) + L"/shadow.png");
    ASSERT_TRUE(image);
    const Rect corners(10, 10, 10, 10);
    EXPECT_EQ(ImageShadowRect(Rect(100, 100, 200, 150), corners), Rect(90, 90, 210, 160));
    EXPECT_EQ(ImageShadowRect(Rect(100, 100, 200, 150), Rect(-3, 0, 4, 2)), Rect(100, 100, 204, 152));
    auto p = NineGridShadowPicture(image->Frame(), Size{100, 50}, corners);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Width(), 120);
    EXPECT_EQ(p->Height(), 70);
    struct Probe {
        int x, y;
        ARGB color;
    } probes[] = {{0, 0, 0xFFFF0000},    {9, 9, 0xFFFF0000},    {119, 0, 0xFF00FF00}, {0, 69, 0xFF0000FF},
                  {119, 69, 0xFFFFFFFF}, {110, 60, 0xFFFFFFFF}, {60, 35, 0xFF808080}, {60, 5, 0xFF808080}};
    for (const auto& pr : probes)
        EXPECT_EQ(p->GetPixel(pr.x, pr.y), pr.color) << pr.x << "," << pr.y;
}

TEST_F(ShadowTest, ShadowWindowFollowsItsDialog)
{
    RecordingDesktop desktop;
    TestDialog d;
    d.onInit = [](TestDialog& self) { EXPECT_EQ(self.CreateShadow(1), 1); };
    ASSERT_TRUE(d.Open(HWND{}, Rect(100, 100, 300, 200)));
    d.ShowWindow(SW_SHOW);
    RecordingWindow* w = desktop->Find(L"ShadowWnd");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->params.toolWindow && w->params.noActivate && w->params.clickThrough);
    EXPECT_EQ(w->params.owner, d.GetSafeHwnd());
    EXPECT_TRUE(w->visible) << "shown with the dialog";
    EXPECT_TRUE(w->presentedWithAlpha);
    EXPECT_EQ(w->bounds, Rect(105, 105, 305, 205));

    // The dialog's own area is cut out; the 5 pixels that stick out lie in the fade
    // (sharpness 5): 3 steps of 6 at the third pixel from the edge.
    const Canvas& pic = *d.GetShadow()->GetPicture();
    EXPECT_EQ(AlphaAt(pic, 100, 50), 0);
    EXPECT_EQ(AlphaAt(pic, 150, 97), 75);

    const int before = w->presents;
    EXPECT_EQ(d.SetDarkness(255), 1);
    EXPECT_GT(w->presents, before) << "a visible shadow is drawn again at once";
    EXPECT_EQ(AlphaAt(*d.GetShadow()->GetPicture(), 150, 97), 128);

    d.SetWindowPos(HWND{}, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(w->bounds, Rect(405, 305, 605, 405)) << "moves with the dialog";

    d.SetWindowPos(HWND{}, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(w->bounds, Rect(405, 305, 605, 405)) << "a growth waits for the dialog's paint";
    PumpMessages();
    EXPECT_EQ(w->bounds, Rect(405, 305, 705, 555));
    d.SetWindowPos(HWND{}, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(w->bounds, Rect(405, 305, 505, 405)) << "shrinking is drawn at once";

    d.Deliver(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(w->visible) << "hidden with the minimised dialog";
    d.Deliver(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 100));
    EXPECT_TRUE(w->visible);
    d.ShowWindow(SW_HIDE);
    EXPECT_FALSE(w->visible) << "hidden with the dialog";
    d.ShowWindow(SW_SHOW);
    EXPECT_TRUE(w->visible);
    d.SetShadowShow(0);
    EXPECT_FALSE(w->visible);
    d.SetShadowShow(1);
    EXPECT_TRUE(w->visible);

    d.DestroyWindow();
    EXPECT_EQ(d.GetShadow()->GetWindow(), nullptr);
    EXPECT_EQ(desktop->Find(L"ShadowWnd"), nullptr) << "gone with the dialog";
}

TEST_F(ShadowTest, WithoutTranslucencyTheShadowStaysHidden)
{
    RecordingDesktop desktop;
    desktop->perPixelAlpha = false;
    TestDialog d;
    ASSERT_TRUE(d.Open());
    d.ShowWindow(SW_SHOW);
    ASSERT_EQ(d.CreateShadow(1), 1);
    RecordingWindow* w = desktop->Find(L"ShadowWnd");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->visible);
    EXPECT_EQ(w->presents, 0);
    ASSERT_TRUE(d.GetShadow()->GetPicture()) << "the picture is kept all the same";
}

TEST_F(ShadowTest, ImageShadowFromSkinOrResources)
{
    RecordingDesktop desktop;
    ShadowImage("shadow.png");
    TestDialog d;
    ASSERT_TRUE(d.Open(HWND{}, Rect(100, 100, 200, 150)));
    d.ShowWindow(SW_SHOW);
    ASSERT_EQ(d.CreateShadow(1), 1);
    const MShadow& s = *d.GetShadow();

    EXPECT_EQ(d.SetShadowImage(L"missing.png", Rect(10, 10, 10, 10)), 0);
    EXPECT_FALSE(s.IsImageMode());
    EXPECT_EQ(d.SetShadowImage(L"shadow.png", Rect(10, 10, 10, 10)), 1);
    EXPECT_TRUE(s.IsImageMode());
    EXPECT_EQ(desktop->Find(L"ShadowWnd")->bounds, Rect(90, 90, 210, 160));
    EXPECT_EQ(s.GetPicture()->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(AlphaAt(*s.GetPicture(), 60, 35), 0) << "the dialog's area is cut out";

    std::ifstream in(skins.Dir() + "/shadow.png", std::ios::binary);
    ResourceModule program;
    program.Add(7, L"PNG", std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
    ResourceModule* previous = Manager::GetInstance();
    Manager::SetInstance(&program);
    EXPECT_EQ(d.SetShadowImage(UINT(8), Rect(4, 4, 4, 4)), 0);
    EXPECT_EQ(d.SetShadowImage(UINT(7), Rect(4, 4, 4, 4)), 1);
    Manager::SetInstance(previous);
    EXPECT_EQ(desktop->Find(L"ShadowWnd")->bounds, Rect(96, 96, 204, 154));
}

TEST_F(ShadowTest, FollowsTheDialogOnTheHeadlessDesktop)
{
    // SDL's offscreen driver: no translucency, so the shadow stays hidden but keeps its place.
    TestDialog d;
    ASSERT_TRUE(d.Open(HWND{}, Rect(100, 100, 300, 200)));
    ASSERT_EQ(d.CreateShadow(1), 1);
    d.ShowWindow(SW_SHOW);
    PlatformWindow* w = d.GetShadow()->GetWindow();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(w->GetBounds(), Rect(105, 105, 305, 205));
    d.MoveWindow(150, 120, 260, 180);
    PumpMessages();
    EXPECT_EQ(w->GetBounds(), Rect(155, 125, 415, 305));
}
