#include "TestDialog.h"

#include "lumo/MessageLoop.h"
#include "lumo/Notifications.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace Lumo;
using namespace LumoTest;

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kDone = WM_USER + 2;

// Leaves nothing queued for the next test.
struct WindowTest : ::testing::Test {
    void TearDown() override
    {
        PumpMessages();
        Message m;
        while (PeekMessageW(m)) {
        }
        SDL_SetModState(KMOD_NONE);
    }
};

} // namespace

TEST_F(WindowTest, ShowModalResults)
{
    TestDialog never;
    EXPECT_EQ(never.ShowModal(), -1);

    struct Case {
        const char* how;
        std::function<void(TestDialog&)> close;
        int expected;
    } cases[] = {
        {"DoOK", [](TestDialog& d) { d.DoOK(); }, IDOK},
        {"DoCancel", [](TestDialog& d) { d.DoCancel(); }, IDCANCEL},
        {"DoYes", [](TestDialog& d) { d.DoYes(); }, IDYES},
        {"DoNo", [](TestDialog& d) { d.DoNo(); }, IDNO},
        {"WM_CLOSE 2 from another thread",
         [](TestDialog& d) {
             const HWND h = d.GetSafeHwnd();
             std::thread([h] { PostMessageW(h, WM_CLOSE, 2, 0); }).join();
         },
         IDCANCEL},
        {"destroyed without WM_CLOSE",
         [](TestDialog& d) {
             d.onMessage = [](TestDialog& self, UINT msg, WPARAM, LPARAM) {
                 if (msg == kPing)
                     self.DestroyWindow();
             };
             d.PostMessageW(kPing);
         },
         0},
    };
    for (auto& c : cases) {
        TestDialog d;
        ASSERT_TRUE(d.Open());
        c.close(d);
        EXPECT_EQ(d.ShowModal(), c.expected) << c.how;
        EXPECT_FALSE(d.GetSafeHwnd()) << c.how;
    }
}

TEST_F(WindowTest, CloseRequestedBeforeTheWindowExistsTakesEffect)
{
    TestDialog d;
    // From another thread, racing the creation.
    std::thread worker([&] { d.DoOK(); });
    ASSERT_TRUE(d.Open());
    worker.join();
    EXPECT_EQ(d.ShowModal(), IDOK);
}

TEST_F(WindowTest, CloseFromAnotherThreadWhileTheLoopRuns)
{
    TestDialog d;
    std::promise<void> running;
    d.onMessage = [&](TestDialog&, UINT msg, WPARAM, LPARAM) {
        if (msg == kPing)
            running.set_value();
    };
    ASSERT_TRUE(d.Open());
    d.PostMessageW(kPing);
    std::thread worker([&] {
        running.get_future().wait();
        d.DoCancel();
    });
    EXPECT_EQ(d.ShowModal(), IDCANCEL);
    worker.join();
}

TEST_F(WindowTest, QuitInsideAModalLoopReachesTheOuterLoop)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    PostQuitMessage(7);
    EXPECT_EQ(d.ShowModal(), 0);
    EXPECT_TRUE(d.GetSafeHwnd()); // the loop ended, the window stays
    Message m;
    EXPECT_FALSE(GetMessageW(m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    d.DestroyWindow();
}

TEST_F(WindowTest, NestedModalLoopsDisableTheOwnerUntilTheyEnd)
{
    TestDialog outer;
    int innerResult = -5;
    bool ownerDisabledInside = false;
    outer.onMessage = [&](TestDialog& self, UINT msg, WPARAM, LPARAM) {
        if (msg != kPing)
            return;
        TestDialog inner;
        inner.onMessage = [&](TestDialog& in, UINT m, WPARAM, LPARAM) {
            if (m == kPing) {
                ownerDisabledInside = !self.IsWindowEnabled();
                in.DoOK();
            }
        };
        inner.Open(self.GetSafeHwnd(), Rect(150, 150, 350, 300));
        inner.PostMessageW(kPing);
        innerResult = inner.ShowModal();
        self.DoCancel();
    };
    ASSERT_TRUE(outer.Open());
    outer.PostMessageW(kPing);
    EXPECT_EQ(outer.ShowModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_TRUE(ownerDisabledInside);
}

TEST_F(WindowTest, PostsFromOtherThreadsArriveInOrder)
{
    constexpr int kPerThread = 400;
    TestDialog d;
    std::vector<WPARAM> got;
    int done = 0;
    d.onMessage = [&](TestDialog& self, UINT msg, WPARAM w, LPARAM) {
        if (msg == kPing)
            got.push_back(w);
        if (msg == kDone && ++done == 2)
            self.DoOK();
    };
    ASSERT_TRUE(d.Open());
    const HWND h = d.GetSafeHwnd();
    auto poster = [h](WPARAM base) {
        for (int i = 0; i < kPerThread; ++i)
            PostMessageW(h, kPing, base + WPARAM(i), 0);
        PostMessageW(h, kDone, 0, 0);
    };
    std::thread a(poster, 0), b(poster, 100000);
    EXPECT_EQ(d.ShowModal(), IDOK);
    a.join();
    b.join();
    std::vector<WPARAM> fromA, fromB;
    for (WPARAM w : got)
        (w < 100000 ? fromA : fromB).push_back(w);
    ASSERT_EQ(fromA.size(), size_t(kPerThread));
    ASSERT_EQ(fromB.size(), size_t(kPerThread));
    EXPECT_TRUE(std::is_sorted(fromA.begin(), fromA.end()));
    EXPECT_TRUE(std::is_sorted(fromB.begin(), fromB.end()));
}

TEST_F(WindowTest, WindowTimersRunOnTheMessageClock)
{
    auto now = std::chrono::steady_clock::now();
    SetMessageClock([&] { return now; });
    TestDialog d;
    d.watched = {WM_TIMER};
    ASSERT_TRUE(d.Open());
    d.SetTimer(5, 100);
    PumpMessages();
    now += std::chrono::milliseconds(99);
    PumpMessages();
    EXPECT_TRUE(d.seen.empty());
    now += std::chrono::milliseconds(1);
    PumpMessages();
    now += std::chrono::milliseconds(100);
    PumpMessages();
    EXPECT_EQ(d.seen, (std::vector<std::vector<LPARAM>>{{WM_TIMER, 5, 0}, {WM_TIMER, 5, 0}}));
    d.KillTimer(5);
    now += std::chrono::milliseconds(500);
    PumpMessages();
    EXPECT_EQ(d.seen.size(), 2u);
    SetMessageClock(nullptr);
}

TEST_F(WindowTest, ControlTimersAvoidTheOverlayIdsAndRestart)
{
    struct Ticking : ProbeControl {
        using ProbeControl::ProbeControl;
        int ticks = 0;
        int OnControlTimer() override { return ++ticks, 1; }
    };
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto& pm = d.GetPaintManager();
    auto* c = static_cast<Ticking*>(pm.AddControl(std::make_unique<Ticking>(&d, 9, Rect(0, 0, 10, 10)), 1));
    EXPECT_EQ(pm.SetTimer(c, 100, 30), 1);
    EXPECT_EQ(pm.SetTimer(c, 100, 30), 0); // already running
    EXPECT_EQ(pm.KillTimer(c, 100), 1);
    EXPECT_EQ(pm.SetTimer(c, 100, 30), 1); // restarted
    // Many timers: none takes an overlay id.
    for (UINT key = 0; key < 300; ++key) {
        pm.SetTimer(c, 1000 + key, 1000);
    }
    for (UINT reserved : {TIMER_OVERLAY_HOLD, TIMER_OVERLAY_FADE, TIMER_PROGRESS}) {
        d.Deliver(WM_TIMER, reserved);
        EXPECT_EQ(c->ticks, 0) << reserved;
    }
    d.DestroyWindow();
}

TEST_F(WindowTest, PressKeepsTheControlAndDeactivationReleasesIt)
{
    std::vector<std::string> log;
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto* c = d.AddProbe(20, Rect(10, 10, 60, 60), &log);
    auto& pm = d.GetPaintManager();
    d.Deliver(WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_EQ(pm.GetHoverControl(), c);
    EXPECT_EQ(d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20)), 1);
    EXPECT_TRUE(pm.IsPressed());
    EXPECT_EQ(pm.GetFocusControl(), c);
    log.clear();
    d.Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(-30, 500)); // out of the window, button held
    d.Deliver(WM_MOUSELEAVE);
    d.Deliver(WM_NCACTIVATE, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"20:move -30,500", "20:up"}));
    EXPECT_EQ(pm.GetHoverControl(), nullptr);
    EXPECT_FALSE(pm.IsPressed());
}

TEST_F(WindowTest, EmptySpotsDragTheWindowControlsNever)
{
    TestDialog d;
    d.watched = {WM_NCLBUTTONDOWN};
    ASSERT_TRUE(d.Open());
    d.AddProbe(20, Rect(10, 10, 60, 60));
    auto& pm = d.GetPaintManager();
    EXPECT_FALSE(pm.IsDragSpot(Point(20, 20)));
    EXPECT_TRUE(pm.IsDragSpot(Point(200, 200)));
    d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    d.Deliver(WM_LBUTTONUP, 0, At(20, 20));
    EXPECT_TRUE(d.seen.empty());
    d.Deliver(WM_LBUTTONDOWN, MK_LBUTTON, At(200, 200));
    ASSERT_EQ(d.seen.size(), 1u);
    EXPECT_EQ(d.seen[0][1], HTCAPTION);
    d.EnableWndDrag(0);
    EXPECT_FALSE(pm.IsDragSpot(Point(200, 200)));
}

TEST_F(WindowTest, WheelNotchesReachAScrollableControlHoveredOrNot)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    auto* list = d.AddProbe(30, Rect(0, 0, 200, 200));
    auto* hovered = d.AddProbe(31, Rect(150, 150, 250, 250));
    list->consumeScroll = 1;
    d.Deliver(WM_MOUSEMOVE, 0, At(160, 160));
    ASSERT_EQ(d.GetPaintManager().GetHoverControl(), hovered);
    const Point screen = d.ClientToScreen(Point(160, 160));
    d.Deliver(WM_MOUSEWHEEL, MAKEWPARAM(0, -2 * WHEEL_DELTA), At(screen.x, screen.y));
    d.Deliver(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(screen.x, screen.y));
    // The hover control is asked first and declines; the list takes every notch.
    EXPECT_EQ(hovered->scrolls, (std::vector<std::pair<int, UINT>>{{1, 1}, {1, 1}, {1, 0}}));
    EXPECT_EQ(list->scrolls, (std::vector<std::pair<int, UINT>>{{1, 1}, {1, 1}, {1, 0}}));
}

TEST_F(WindowTest, TabCyclesThroughFocusableControls)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    ProbeControl* c[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = d.AddProbe(40 + i, Rect(i * 50, 0, i * 50 + 40, 40));
        c[i]->SetTabStop(i != 1);
    }
    auto& pm = d.GetPaintManager();
    Message tab{d.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0};
    pm.SetFocusControl(c[3]);
    EXPECT_EQ(d.PreTranslateMessage(&tab), 1);
    EXPECT_EQ(pm.GetFocusControl(), c[0]);
    EXPECT_EQ(d.PreTranslateMessage(&tab), 1);
    EXPECT_EQ(pm.GetFocusControl(), c[2]); // c[1] takes no tab stop
    SDL_SetModState(KMOD_LSHIFT);
    EXPECT_EQ(d.PreTranslateMessage(&tab), 1);
    EXPECT_EQ(pm.GetFocusControl(), c[0]);
    EXPECT_EQ(d.PreTranslateMessage(&tab), 1);
    EXPECT_EQ(pm.GetFocusControl(), c[3]);
    EXPECT_EQ(c[3]->IsFocused(), 1);
    EXPECT_EQ(c[0]->IsFocused(), 0);
}

TEST_F(WindowTest, KeysCarryTheModifierCode)
{
    std::vector<std::string> log;
    TestDialog d;
    ASSERT_TRUE(d.Open());
    d.AddProbe(50, Rect(0, 0, 10, 10), &log);
    struct Case {
        SDL_Keymod mods;
        UINT code;
    } cases[] = {{KMOD_NONE, 0}, {KMOD_LSHIFT, 16}, {KMOD_LALT, 18}, {KMOD_LCTRL, 17},
                 {SDL_Keymod(KMOD_LSHIFT | KMOD_LCTRL), 17}, {SDL_Keymod(KMOD_LALT | KMOD_LCTRL), 19}};
    for (const auto& c : cases) {
        log.clear();
        SDL_SetModState(c.mods);
        d.Deliver(WM_KEYDOWN, 'K', 0);
        EXPECT_EQ(log, (std::vector<std::string>{"50:key 75 " + std::to_string(c.code)}));
    }
}

TEST_F(WindowTest, NotificationsFromDeepInsideArriveWithTheirOwnId)
{
    TestDialog d;
    ASSERT_TRUE(d.Open());
    struct Page : ProbeControl {
        using ProbeControl::ProbeControl;
        int OnBaseMessage(UINT id, UINT code, UINT w, LPARAM l) override
        {
            return m_parent->OnBaseMessage(id, code, w, l);
        }
    };
    auto* page = d.GetPaintManager().AddControl(std::make_unique<Page>(&d, 60, Rect(0, 0, 100, 100)), 1);
    auto* list = page->AddChild(std::make_unique<ProbeControl>(page, 61, Rect(0, 0, 50, 50)), 1);
    list->SendMessageW(MN_CLICK, 3, 0x55);
    EXPECT_EQ(d.notes, (std::vector<std::vector<LPARAM>>{{61, MN_CLICK, 3, 0x55}}));
    EXPECT_EQ(d.GetControl(61), list);
    EXPECT_EQ(list->IsParentVisible(), 1);
    page->SetVisible(0);
    EXPECT_EQ(list->IsParentVisible(), 0);
}
