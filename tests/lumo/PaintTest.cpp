#include "TestDialog.h"

#include "lumo/Image.h"
#include "lumo/MessageLoop.h"
#include "lumo/Overlay.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

using namespace Lumo;
using namespace LumoTest;

namespace {

constexpr ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr ARGB kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kGrey = 0xFF808080;

// 30 x 30: 10-pixel corners, edges and centre each in a colour of their own.
void NineColours(cairo_t* cr, double ox = 0)
{
    const ARGB cells[3][3] = {{kRed, kYellow, kGreen}, {kCyan, kMagenta, kGrey}, {kBlue, 0xFF804000, kWhite}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            Fill(cr, ox + c * 10, r * 10, 10, 10, cells[r][c]);
}

struct PaintTest : ::testing::Test {
    TempSkins skins;
    void TearDown() override
    {
        PumpMessages();
        Message m;
        while (PeekMessageW(m)) {
        }
    }
    static void Repaint(TestDialog& d)
    {
        d.Invalidate();
        PumpMessages();
    }
};

} // namespace

TEST_F(PaintTest, NineGridKeepsCornersAndStretchesTheRest)
{
    skins.Png("nine.png", 30, 30, [](cairo_t* cr) { NineColours(cr); });
    auto image = Image::LoadFromFile(std::wstring(skins.Dir().begin(), skins.Dir().end()) + L"/nine.png");
    ASSERT_TRUE(image);
    auto dc = Canvas::Create(120, 90);
    MRender::DrawImageFrame(*dc, image->Frame(), Rect(10, 5, 110, 85), 0, 0, 30, 30, 10);
    struct Probe {
        int x, y;
        ARGB color;
    } probes[] = {
        {10, 5, kRed},     {19, 14, kRed},  {101, 6, kGreen},    {12, 83, kBlue},  {108, 83, kWhite},
        {60, 8, kYellow},  {13, 45, kCyan}, {60, 45, kMagenta},  {106, 45, kGrey}, {60, 82, 0xFF804000},
        {5, 5, 0},         {115, 45, 0}, // outside the destination nothing is drawn
    };
    for (const auto& p : probes)
        EXPECT_EQ(Pixel(*dc, p.x, p.y), p.color) << p.x << "," << p.y;
}

TEST_F(PaintTest, StateStripsTakeTheFrameCountOfTheFirstLoad)
{
    const ARGB frames[4] = {kRed, kGreen, kBlue, kGrey};
    skins.Png("btn.png", 80, 20, [&](cairo_t* cr) {
        for (int i = 0; i < 4; ++i)
            Fill(cr, i * 20, 0, 20, 20, frames[i]);
    });
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto& pm = d.GetPaintManager();
    const ImgResInfo* first = pm.AddImgResInfo(L"btn.png", 4);
    const ImgResInfo* second = pm.AddImgResInfo(L"btn.png", 2);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->frameWidth, 20);
    EXPECT_EQ(pm.AddImgResInfo(L"missing.png", 4), nullptr);

    // Each state frame stretched as a nine-grid over a 100 x 40 button.
    auto dc = Canvas::Create(100, 40);
    for (int state = 0; state < 4; ++state) {
        MRender::DrawImageFrame(*dc, first->image->Frame(), Rect(0, 0, 100, 40), state * first->frameWidth, 0,
                                first->frameWidth, first->height, 5);
        EXPECT_EQ(Pixel(*dc, 50, 20), frames[state]) << state;
        EXPECT_EQ(Pixel(*dc, 99, 39), frames[state]) << state;
    }
}

TEST_F(PaintTest, SetImageNeedsAWindowAndKeepsTheOldImageOnFailure)
{
    skins.Png("a.png", 40, 10, [](cairo_t* cr) { Fill(cr, 0, 0, 40, 10, kRed); });
    struct Face : MControlFont {
        using MControlFont::MControlFont;
        void DrawControl(Canvas&, Rect) override {}
    };
    TestDialog d;
    Face loose(&d, 1, Rect(0, 0, 10, 10), L"");
    EXPECT_EQ(loose.SetImage(L"a.png", 4), 0);
    ASSERT_TRUE(d.Open());
    auto* face = static_cast<Face*>(
        d.GetPaintManager().AddControl(std::make_unique<Face>(&d, 2, Rect(0, 0, 10, 10), L""), 1));
    EXPECT_EQ(face->SetImage(L"a.png", 4), 1);
    EXPECT_EQ(face->SetImage(L"gone.png", 2), 0);
    EXPECT_EQ(face->GetImagePath(), L"a.png");
    EXPECT_EQ(face->GetImageCount(), 4);
    EXPECT_EQ(face->GetImageSize(), (Size{40, 10}));
}

TEST_F(PaintTest, RenderedDialogShowsBackgroundAndControlStates)
{
    skins.Png("bk.png", 30, 30, [](cairo_t* cr) { NineColours(cr); });
    TestDialog d;
    ProbeControl* probe = nullptr;
    d.onInit = [&](TestDialog& self) {
        self.LoadBKImage(L"bk.png");
        self.SetBackMode(BACK_MODE_NINEGRID, 10);
        probe = self.AddProbe(70, Rect(100, 100, 150, 140));
    };
    ASSERT_TRUE(d.Open());
    Repaint(d);
    const Canvas* buffer = d.GetPaintManager().GetBackBuffer();
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->Width(), 400);
    EXPECT_EQ(Pixel(*buffer, 2, 2), kRed);
    EXPECT_EQ(Pixel(*buffer, 397, 297), kWhite);
    EXPECT_EQ(Pixel(*buffer, 250, 60), kMagenta);
    EXPECT_EQ(Pixel(*buffer, 120, 120), probe->colors[0]);
    const unsigned presented = d.GetPaintManager().GetPresentCount();

    d.Deliver(WM_MOUSEMOVE, 0, At(120, 120));
    PumpMessages();
    EXPECT_EQ(Pixel(*buffer, 120, 120), probe->colors[1]);
    d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(120, 120));
    probe->UpdateControl(0);
    PumpMessages();
    EXPECT_EQ(Pixel(*buffer, 120, 120), probe->colors[2]);
    EXPECT_EQ(probe->builds, 1); // state changes reuse the cached frames
    EXPECT_GT(d.GetPaintManager().GetPresentCount(), presented);
}

TEST_F(PaintTest, RebuildRequestReachesLaterOverlappingControlsOnly)
{
    TestDialog d;
    ProbeControl *before = nullptr, *target = nullptr, *above = nullptr, *apart = nullptr;
    d.onInit = [&](TestDialog& self) {
        before = self.AddProbe(1, Rect(0, 0, 60, 60));
        target = self.AddProbe(2, Rect(40, 40, 100, 100));
        above = self.AddProbe(3, Rect(80, 80, 140, 140));
        apart = self.AddProbe(4, Rect(300, 200, 350, 250));
    };
    ASSERT_TRUE(d.Open());
    Repaint(d);
    for (auto* c : {before, target, above, apart})
        ASSERT_EQ(c->builds, 1);
    target->UpdateControl(1);
    PumpMessages();
    EXPECT_EQ(before->builds, 1);
    EXPECT_EQ(target->builds, 2);
    EXPECT_EQ(above->builds, 2);
    EXPECT_EQ(apart->builds, 1);
}

TEST_F(PaintTest, LayeredWindowsMakeDeviceDrawingOpaqueExceptPureBlack)
{
    struct DeviceFills : ProbeControl {
        using ProbeControl::ProbeControl;
        void DrawControl(Canvas& dc, Rect) override
        {
            dc.FillSolidRect(Rect(0, 0, 10, 10), RGB(0, 0, 0));
            dc.FillSolidRect(Rect(10, 0, 20, 10), RGB(255, 0, 0));
            DWORD black = 0;
            MRender::CheckAlphaColor(black);
            dc.FillSolidRect(Rect(20, 0, 30, 10), black);
        }
    };
    for (int layered : {1, 0}) {
        TestDialog d;
        d.onInit = [&](TestDialog& self) {
            self.SetLayeredWindow(layered);
            self.GetPaintManager().AddControl(std::make_unique<DeviceFills>(&self, 1, Rect(0, 0, 30, 10)), 1);
        };
        ASSERT_TRUE(d.Open());
        Repaint(d);
        const Canvas& b = *d.GetPaintManager().GetBackBuffer();
        if (layered) {
            EXPECT_EQ(Pixel(b, 5, 5), 0x00000000u);
            EXPECT_EQ(Pixel(b, 15, 5), 0xFFFF0000u);
            EXPECT_EQ(Pixel(b, 25, 5), 0xFF010000u); // 0x000001 in COLORREF is red 1
        } else {
            // An opaque window shows colours as drawn; the alpha byte is not looked at.
            EXPECT_EQ(Pixel(b, 15, 5), 0x00FF0000u);
        }
    }
}

TEST_F(PaintTest, OverlayMessageHoldsThenFades)
{
    TestDialog d;
    ASSERT_TRUE(d.Open()); // 400 x 300
    const HWND h = d.GetSafeHwnd();
    d.SetMessage(L"Saved", Rect(), MSG_INFO);
    const Overlay& o = d.GetPaintManager().GetOverlay();
    EXPECT_EQ(o.GetRect(), Rect(100, 240, 300, 298));
    EXPECT_EQ(GetWindowTimerInterval(h, TIMER_OVERLAY_HOLD), 3000u);
    Repaint(d);
    const Canvas& b = *d.GetPaintManager().GetBackBuffer();
    EXPECT_EQ(Pixel(b, 100, 240), 0xFFE6E6E6u);
    EXPECT_EQ(Pixel(b, 290, 290), 0xFFFEFEFEu);

    d.Deliver(WM_TIMER, TIMER_OVERLAY_HOLD);
    EXPECT_FALSE(IsWindowTimerSet(h, TIMER_OVERLAY_HOLD));
    EXPECT_EQ(GetWindowTimerInterval(h, TIMER_OVERLAY_FADE), 50u);
    for (int i = 0; i < 23; ++i)
        d.Deliver(WM_TIMER, TIMER_OVERLAY_FADE);
    EXPECT_EQ(o.Alpha(), 25);
    d.Deliver(WM_TIMER, TIMER_OVERLAY_FADE); // 24 x 50 ms: gone
    EXPECT_EQ(o.Alpha(), 0);
    EXPECT_FALSE(IsWindowTimerSet(h, TIMER_OVERLAY_FADE));
}

TEST_F(PaintTest, ProgressClimbsTwoPerTickAndFadesAtTheTop)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    const HWND h = d.GetSafeHwnd();
    const Overlay& o = d.GetPaintManager().GetOverlay();
    d.SetProgress(50, L"Uploading", Rect());
    EXPECT_EQ(o.GetRect(), Rect(0, 240, 400, 298));
    EXPECT_EQ(GetWindowTimerInterval(h, TIMER_PROGRESS), 10u);
    for (int i = 0; i < 24; ++i)
        d.Deliver(WM_TIMER, TIMER_PROGRESS);
    EXPECT_EQ(o.Shown(), 48);
    d.Deliver(WM_TIMER, TIMER_PROGRESS);
    EXPECT_EQ(o.Shown(), 50);
    EXPECT_FALSE(IsWindowTimerSet(h, TIMER_PROGRESS));
    Repaint(d);
    const ARGB bar = Pixel(*d.GetPaintManager().GetBackBuffer(), 12, 298 - 15);
    EXPECT_GT(RedOf(bar), 0xF0);
    EXPECT_LT(BlueOf(bar), 0x10);

    d.SetProgress(50, L"again", Rect()); // unchanged target: nothing
    EXPECT_EQ(o.Text(), L"Uploading");
    d.SetProgress(100, L"Done", Rect());
    for (int i = 0; i < 25; ++i)
        d.Deliver(WM_TIMER, TIMER_PROGRESS);
    EXPECT_EQ(o.Shown(), 100);
    EXPECT_TRUE(IsWindowTimerSet(h, TIMER_OVERLAY_FADE));
    d.SetProgress(3, L"Again", Rect()); // a small target shows at once
    EXPECT_EQ(o.Shown(), 3);
    EXPECT_FALSE(IsWindowTimerSet(h, TIMER_OVERLAY_FADE));
}

TEST_F(PaintTest, TextIsDrawnInsideItsRectangleWithTheResolvedFaces)
{
    auto dc = Canvas::Create(200, 60);
    MRender::DrawColor(*dc, dc->Bounds(), 0xFF000000);
    MRender::DrawString(*dc, L"Keystead", Rect(20, 10, 180, 50), FontSpec{L"Arial", 20, 0}, kWhite, DT_CENTER,
                        DT_VCENTER);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool lit = GreenOf(Pixel(*dc, x, y)) > 0x80;
            (Rect(20, 10, 180, 50).PtInRect(Point(x, y)) ? inside : outside) += lit;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);

    // "Arial" is laid out with its metric twin; the library's own face is there once a window is.
    const Size arial = MRender::MeasureString(L"Keystead Lumo", FontSpec{L"Arial", 20, 0});
    EXPECT_EQ(arial, MRender::MeasureString(L"Keystead Lumo", FontSpec{L"Liberation Sans", 20, 0}));
    TestDialog d;
    ASSERT_TRUE(d.Open());
    EXPECT_NE(MRender::MeasureString(L"Keystead Lumo", FontSpec{L"Open Sans Semibold", 20, 0}).cx, arial.cx);
}

TEST_F(PaintTest, GifFramesAreComposedInOrder)
{
    const std::string path = skins.Dir() + "/anim.gif";
    {
        int error = 0;
        GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
        ASSERT_TRUE(gif);
        GifColorType colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
        ColorMapObject* map = GifMakeMapObject(4, colors);
        EGifPutScreenDesc(gif, 4, 4, 2, 3, map);
        for (int f = 0; f < 3; ++f) {
            GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 10, NO_TRANSPARENT_COLOR};
            GifByteType ext[4];
            const size_t n = EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext);
            EGifPutImageDesc(gif, 0, 0, 4, 4, false, nullptr);
            GifPixelType row[4] = {GifPixelType(f), GifPixelType(f), GifPixelType(f), GifPixelType(f)};
            for (int y = 0; y < 4; ++y)
                EGifPutLine(gif, row, 4);
        }
        GifFreeMapObject(map);
        EGifCloseFile(gif, &error);
    }
    auto image = Image::LoadFromFile(std::wstring(path.begin(), path.end()));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount(), 3);
    EXPECT_EQ(Pixel(image->Frame(0), 1, 1), kRed);
    EXPECT_EQ(Pixel(image->Frame(1), 1, 1), kGreen);
    EXPECT_EQ(Pixel(image->Frame(2), 3, 3), kBlue);
    EXPECT_EQ(image->FrameDelay(1), 100);

    // Damaged files decode to nothing.
    const unsigned char truncatedGif[] = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0};
    const unsigned char truncatedPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    EXPECT_FALSE(Image::LoadFromMemory(truncatedGif, sizeof truncatedGif));
    EXPECT_FALSE(Image::LoadFromMemory(truncatedPng, sizeof truncatedPng));
}
