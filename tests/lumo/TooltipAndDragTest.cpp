#include "TestDialog.h"

#include "core/DroppedFiles.h"
#include "lumo/MessageLoop.h"
#include "lumo/TooltipWindow.h"

#include <SDL.h>
#include <chrono>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace Lumo;
using namespace LumoTest;

namespace {

struct TooltipAndDragTest : ::testing::Test {
    void TearDown() override
    {
        Message m;
        while (PeekMessageW(m)) {
        }
    }
};

// Counts the pixels of a picture that are darker than mid-grey (text).
int DarkPixels(const Canvas& c)
{
    int dark = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if ((c.GetPixel(x, y) & 0xFF) < 0x80)
                ++dark;
    return dark;
}

// A control that can be dragged and offers a plain red picture.
class DraggableProbe : public ProbeControl {
public:
    DraggableProbe(MObject* parent, UINT id, Rect rect, bool withPicture, std::vector<std::string>* log)
        : ProbeControl(parent, id, rect, log)
    {
        SetDragDrop(1);
        if (withPicture) {
            m_picture = Canvas::Create(12, 8);
            MRender::DrawColor(*m_picture, m_picture->Bounds(), 0xFFE01010);
        }
    }
    Canvas* GetControlDropBitmap() override { return m_picture.get(); }

private:
    std::unique_ptr<Canvas> m_picture;
};

// A dialog that keeps a copy of every picture it receives.
struct DropDialog : TestDialog {
    std::vector<std::uint32_t> droppedCentres;
    std::vector<Size> droppedSizes;
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == STM_SETIMAGE && wParam == IMAGE_BITMAP && lParam) {
            const auto* picture = reinterpret_cast<const Canvas*>(lParam);
            droppedSizes.push_back(Size{picture->Width(), picture->Height()});
            droppedCentres.push_back(picture->GetPixel(picture->Width() / 2, picture->Height() / 2));
        }
        return TestDialog::OnWindowMessage(message, wParam, lParam);
    }
};

} // namespace

TEST_F(TooltipAndDragTest, TipWaitsForTheRestingPointerAndGoesWithAPress)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto* c = d.AddProbe(20, Rect(10, 10, 60, 60));
    c->SetTooltip(L"Lighting effects");
    auto& pm = d.GetPaintManager();

    auto now = std::chrono::steady_clock::now();
    SetMessageClock([&] { return now; });
    d.Deliver(WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_EQ(pm.GetTooltipOwner(), c);
    const TooltipWindow* tip = pm.GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWaiting());
    now += std::chrono::milliseconds(300);
    PumpMessages();
    d.Deliver(WM_MOUSEMOVE, 0, At(22, 20)); // the pointer has not come to rest yet
    now += std::chrono::milliseconds(TooltipWindow::kInitialDelayMs - 1);
    PumpMessages();
    EXPECT_FALSE(tip->IsShown());
    now += std::chrono::milliseconds(1);
    PumpMessages();
    SetMessageClock(nullptr);
    ASSERT_TRUE(tip->IsShown());
    const Canvas* picture = tip->GetPicture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetPixel(0, 0), 0xFF767676u);                               // border
    EXPECT_EQ(picture->GetPixel(2, picture->Height() / 2 - 5), 0xFFFFFFFFu); // margin
    EXPECT_GT(DarkPixels(*picture), 20);                                           // the words
    EXPECT_EQ(tip->GetScreenRect().Width(), picture->Width());

    d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    EXPECT_FALSE(tip->IsShown());
    d.Deliver(WM_LBUTTONUP, 0, At(20, 20));
    // Still the owner: the tip does not come back until another control offers one.
    d.Deliver(WM_MOUSEMOVE, 0, At(21, 21));
    d.Deliver(WM_TIMER, TIMER_TOOLTIP_SHOW);
    EXPECT_FALSE(tip->IsShown());

    d.Deliver(WM_MOUSEMOVE, 0, At(200, 200)); // off the control
    EXPECT_EQ(pm.GetTooltipOwner(), nullptr);
    EXPECT_TRUE(tip->GetText().empty());
}

TEST_F(TooltipAndDragTest, TipOnScreenFollowsNewTextAndPopsAfterAWhile)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto& pm = d.GetPaintManager();
    d.SetTooltip(L"One", Rect(0, 0, 10, 10));
    d.Deliver(WM_TIMER, TIMER_TOOLTIP_SHOW);
    const TooltipWindow* tip = pm.GetTooltipWindow();
    ASSERT_TRUE(tip && tip->IsShown());
    const int narrow = tip->GetPicture()->Width();

    d.SetTooltip(L"A much longer tip replaces the first one", Rect(0, 0, 10, 10));
    EXPECT_TRUE(tip->IsShown()); // replaced in place, no second wait
    EXPECT_GT(tip->GetPicture()->Width(), narrow);

    d.Deliver(WM_TIMER, TIMER_TOOLTIP_HIDE);
    EXPECT_FALSE(tip->IsShown());
    d.SetTooltip(L"", Rect());
    EXPECT_EQ(pm.GetTooltipCtrlID(), 0u);
}

TEST_F(TooltipAndDragTest, LongTipsWrapWithinTheMaximumWidth)
{
    auto one = TooltipWindow::Render(L"Short");
    auto many = TooltipWindow::Render(std::wstring(40, L'x') + L" " + std::wstring(40, L'y') + L" " +
                                      std::wstring(40, L'z'));
    ASSERT_TRUE(one && many);
    EXPECT_LE(many->Width(), TooltipWindow::kMaxWidth);
    EXPECT_GE(many->Height(), 2 * one->Height() - 8);
}

TEST_F(TooltipAndDragTest, TipsStayOnTheWorkArea)
{
    const Rect work(0, 0, 800, 600);
    const Size tip{120, 24};
    struct Case {
        Point cursor;
        Rect expected;
    } cases[] = {
        {Point(100, 100), Rect(100, 120, 220, 144)}, // below the pointer
        {Point(750, 100), Rect(680, 120, 800, 144)}, // pulled in from the right edge
        {Point(100, 590), Rect(100, 564, 220, 588)}, // no room below: above
        {Point(-50, -50), Rect(0, 0, 120, 24)},      // pointer off the area
    };
    for (const auto& c : cases) {
        const Rect r = TooltipWindow::Place(tip, c.cursor, work);
        EXPECT_EQ(r, c.expected) << c.cursor.x << "," << c.cursor.y;
    }
}

TEST_F(TooltipAndDragTest, DraggingAControlDropsItsPictureOnTheWindow)
{
    std::vector<std::string> log;
    DropDialog d;
    ASSERT_TRUE(d.Open());
    auto& pm = d.GetPaintManager();
    pm.AddControl(std::make_unique<DraggableProbe>(&d, 30, Rect(10, 10, 60, 60), true, &log), 1);

    d.Deliver(WM_MOUSEMOVE, 0, At(20, 20));
    d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    d.Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(22, 21)); // a jitter is not a drag
    EXPECT_FALSE(pm.IsDragging());
    d.Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(40, 30));
    EXPECT_TRUE(pm.IsDragging());
    log.clear();
    d.Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(300, 200)); // the drag has the pointer now
    EXPECT_TRUE(log.empty());
    d.Deliver(WM_LBUTTONUP, 0, At(300, 200));
    EXPECT_FALSE(pm.IsDragging());
    EXPECT_FALSE(pm.IsPressed());
    EXPECT_EQ(log, (std::vector<std::string>{"30:up"}));
    ASSERT_EQ(d.droppedCentres.size(), 1u);
    EXPECT_EQ(d.droppedCentres[0], 0xFFE01010u);
    EXPECT_EQ(d.droppedSizes[0].cx, 12);
}

TEST_F(TooltipAndDragTest, DragsThatEndEarlyDropNothing)
{
    struct Case {
        const char* how;
        bool withPicture;
        std::function<void(DropDialog&)> interrupt;
    } cases[] = {
        {"escape", true, [](DropDialog& d) { d.Deliver(WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"window deactivated", true, [](DropDialog& d) { d.Deliver(WM_NCACTIVATE, 0); }},
        {"control offers no picture", false, [](DropDialog&) {}},
    };
    for (const auto& c : cases) {
        DropDialog d;
        ASSERT_TRUE(d.Open());
        auto& pm = d.GetPaintManager();
        pm.AddControl(std::make_unique<DraggableProbe>(&d, 30, Rect(10, 10, 60, 60), c.withPicture, nullptr), 1);
        d.Deliver(WM_MOUSEMOVE, 0, At(20, 20));
        d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
        d.Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(50, 50));
        c.interrupt(d);
        EXPECT_FALSE(pm.IsDragging()) << c.how;
        d.Deliver(WM_LBUTTONUP, 0, At(50, 50));
        EXPECT_TRUE(d.droppedCentres.empty()) << c.how;
    }
}

TEST_F(TooltipAndDragTest, DroppedPictureFilesReachTheWindowOthersDoNot)
{
    char dir[] = "/tmp/lumo-drop-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string png = std::string(dir) + "/blue.png";
    const std::string text = std::string(dir) + "/notes.txt";
    auto blue = Canvas::Create(6, 6);
    MRender::DrawColor(*blue, blue->Bounds(), 0xFF1020E0);
    ASSERT_TRUE(MRender::SaveBitmapToFile(*blue, std::wstring(png.begin(), png.end())));
    FILE* f = fopen(text.c_str(), "w");
    ASSERT_TRUE(f);
    fputs("not a picture", f);
    fclose(f);

    DropDialog d;
    d.watched = {WM_LBUTTONUP};
    ASSERT_TRUE(d.Open());
    DroppedFiles::Push(d.GetSafeHwnd(), std::wstring(text.begin(), text.end()));
    DroppedFiles::Push(d.GetSafeHwnd(), std::wstring(png.begin(), png.end()));
    d.Deliver(WM_DROPFILES);
    ASSERT_EQ(d.droppedCentres.size(), 1u);
    EXPECT_EQ(d.droppedCentres[0], 0xFF1020E0u);
    EXPECT_EQ(d.seen.size(), 1u); // the button-up that comes with the picture
    d.Deliver(WM_DROPFILES);      // taken once
    EXPECT_EQ(d.droppedCentres.size(), 1u);

    unlink(png.c_str());
    unlink(text.c_str());
    rmdir(dir);
}
