#include "LumoTestSupport.h"

#include "lumo/ControlFactory.h"
#include "lumo/MTimer.h"
#include "lumo/Notifications.h"

#include <gtest/gtest.h>

using namespace Lumo;
using namespace LumoTest;

namespace {

// A container that passes its children's notifications on, as panels do.
class Box : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    int OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override
    {
        return OnMessage(id, code, wParam, lParam);
    }
    int OnMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override
    {
        return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
    }
    ProbeControl* Add(UINT id, Rect r, std::vector<std::string>* log)
    {
        return static_cast<ProbeControl*>(AddChild(std::make_unique<ProbeControl>(this, id, r, log), 1));
    }
};

const ControlRegistration kWindowOnly{{L"TestWindowOnly",
                                       [](MObject* p, UINT id, Rect r, const wchar_t*, int v, int e) {
                                           auto c = std::make_unique<ProbeControl>(p, id, r);
                                           c->SetVisible(v, 0);
                                           c->SetEnabled(e);
                                           return std::unique_ptr<MControl>(std::move(c));
                                       },
                                       true, false, false, EnabledArg::Forced}};
const ControlRegistration kPanelOnly{{L"TestPanelOnly",
                                      [](MObject* p, UINT id, Rect r, const wchar_t*, int, int) {
                                          return std::unique_ptr<MControl>(std::make_unique<ProbeControl>(p, id, r));
                                      },
                                      false, true, false, EnabledArg::Used}};

} // namespace

TEST(ControlFactory, NamesAreExactAndSiteBound)
{
    RecordingOwner owner;
    using Site = ControlFactory::Site;
    struct Case {
        const wchar_t* name;
        Site site;
        bool created;
    } cases[] = {
        {L"TestWindowOnly", Site::Window, true}, {L"TestWindowOnly", Site::Panel, false},
        {L"TestPanelOnly", Site::Panel, true},   {L"TestPanelOnly", Site::Window, false},
        {L"testwindowonly", Site::Window, false}, {L"", Site::Window, false},
        {nullptr, Site::Window, false},          {L"NoSuchControl", Site::Panel, false},
    };
    for (const auto& c : cases) {
        auto control = ControlFactory::Create(c.site, &owner, c.name, 7, Rect(0, 0, 10, 10), L"t", 1, 0);
        EXPECT_EQ(control != nullptr, c.created) << (c.name ? std::string(c.name, c.name + wcslen(c.name)) : "null");
    }
    // A class that forces enabled ignores the creator's 0; every factory control responds.
    auto forced = ControlFactory::Create(Site::Window, &owner, L"TestWindowOnly", 7, Rect(0, 0, 10, 10), nullptr, 1, 0);
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->IsEnabled(), 1);
    EXPECT_EQ(forced->GetRresponse(), 1);
    // A name is taken once.
    EXPECT_FALSE(ControlFactory::Register(
        {L"TestWindowOnly", [](MObject*, UINT, Rect, const wchar_t*, int, int) { return std::unique_ptr<MControl>(); }}));
}

TEST(ControlRouting, LaterOverlappingChildTakesThePressAndKeepsTheMoves)
{
    std::vector<std::string> log;
    RecordingOwner owner;
    Box box(&owner, 10, Rect(0, 0, 200, 200), &log);
    box.Add(1001, Rect(10, 10, 100, 100), &log);
    auto* top = box.Add(1002, Rect(50, 50, 150, 150), &log);

    box.OnLButtonDown(0, Point(60, 60));
    EXPECT_EQ(box.GetHotChild(), top);
    EXPECT_EQ(log, (std::vector<std::string>{"1002:down"}));

    log.clear();
    box.OnMouseMove(MK_LBUTTON, Point(190, 5)); // outside the pressed child
    EXPECT_EQ(log, (std::vector<std::string>{"1002:move 190,5"}));

    log.clear();
    box.OnLButtonUp(0, Point(190, 5));
    box.OnMouseMove(0, Point(190, 5));
    // Released: the move now reaches the box itself and every child, none of which is hot.
    EXPECT_EQ(log, (std::vector<std::string>{"1002:up", "10:move 190,5", "1001:move 190,5", "1002:move 190,5"}));
    EXPECT_EQ(box.GetHotChild(), nullptr);
}

TEST(ControlRouting, DisabledOrHiddenChildrenAreSkippedByThePress)
{
    std::vector<std::string> log;
    RecordingOwner owner;
    Box box(&owner, 10, Rect(0, 0, 200, 200), &log);
    auto* below = box.Add(1001, Rect(0, 0, 100, 100), &log);
    auto* disabled = box.Add(1002, Rect(0, 0, 100, 100), &log);
    auto* hidden = box.Add(1003, Rect(0, 0, 100, 100), &log);
    disabled->SetEnabled(0);
    hidden->SetVisible(0);
    box.OnLButtonDown(0, Point(5, 5));
    EXPECT_EQ(box.GetHotChild(), below);
    EXPECT_EQ(log, (std::vector<std::string>{"1001:down"}));
}

TEST(ControlRouting, DoubleClickOnControlWithoutDoubleClicksArrivesAsOnePress)
{
    std::vector<std::string> log;
    RecordingOwner owner;
    Box box(&owner, 10, Rect(0, 0, 200, 200), &log);
    box.SetDblClk(1);
    auto* plain = box.Add(1001, Rect(0, 0, 50, 50), &log);
    auto* takesDouble = box.Add(1002, Rect(100, 100, 150, 150), &log);
    takesDouble->SetDblClk(1);
    plain->consumeDown = 0; // even when the press is not consumed it is delivered once

    box.OnLButtonDown(0, Point(10, 10));
    box.OnLButtonUp(0, Point(10, 10));
    box.OnLButtonDblClk(0, Point(10, 10));
    EXPECT_EQ(log, (std::vector<std::string>{"1001:down", "1001:up", "1001:down"}));
    EXPECT_EQ(plain->IsPressed(), 1);
    log.clear();
    box.OnLButtonDown(0, Point(110, 110));
    box.OnLButtonUp(0, Point(110, 110));
    box.OnLButtonDblClk(0, Point(110, 110));
    EXPECT_EQ(log, (std::vector<std::string>{"1002:down", "1002:up", "1002:dblclk"}));
}

TEST(ControlRouting, KeysGoToTheFocusedChildAndNotifyOnce)
{
    std::vector<std::string> log;
    RecordingOwner owner;
    Box box(&owner, 10, Rect(0, 0, 200, 200), &log);
    auto* a = box.Add(1001, Rect(0, 0, 50, 50), &log);
    auto* b = box.Add(1002, Rect(60, 0, 110, 50), &log);
    b->SetControlFocus(1);
    box.OnKeyDown('A', 1, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"1002:key 65 0"}));
    // b has no focused child: it tries itself, then notifies its owner (the box, which passes it up).
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0], (std::vector<LPARAM>{1002, MN_KEYDOWN, 'A', 0}));

    log.clear();
    owner.notes.clear();
    b->SetControlFocus(0);
    a->consumeKey = 1;
    EXPECT_EQ(box.OnKeyDown('B', 1, 16), 1);
    // Nothing focused: the box itself, then its children until one consumes; the box notifies.
    EXPECT_EQ(log, (std::vector<std::string>{"10:key 66 16", "1001:key 66 16"}));
    ASSERT_EQ(owner.notes.size(), 2u); // a's own notification, then the box's
    EXPECT_EQ(owner.notes[1][0], 10);
}

TEST(ControlRedraw, VisibilityAndGeometryRequests)
{
    RecordingOwner owner;
    ProbeControl c(&owner, 5, Rect(10, 10, 30, 30));
    c.SetVisible(1); // unchanged: nothing
    EXPECT_TRUE(owner.updates.empty());
    c.SetVisible(0);
    c.SetVisible(0);
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rect, Rect(10, 10, 30, 30));
    c.SetRect(Rect(40, 40, 50, 50)); // hidden: no request
    EXPECT_EQ(owner.updates.size(), 1u);
    c.SetVisible(1, 0); // shown without a request
    EXPECT_EQ(owner.updates.size(), 1u);
    c.SetRect(Rect(0, 0, 20, 20));
    ASSERT_EQ(owner.updates.size(), 2u);
    EXPECT_EQ(owner.updates[1].rect, Rect(0, 0, 50, 50)); // union of old and new
}

TEST(ControlTree, GetControlSearchesDepthFirstAndRemovalDuringAWalkIsSafe)
{
    RecordingOwner owner;
    Box root(&owner, 1, Rect(0, 0, 100, 100), nullptr);
    auto* inner = static_cast<Box*>(root.AddChild(std::make_unique<Box>(&root, 2, Rect(0, 0, 50, 50)), 1));
    inner->Add(3, Rect(0, 0, 10, 10), nullptr);
    root.AddChild(std::make_unique<ProbeControl>(&root, 4, Rect(0, 0, 10, 10)), 0);
    EXPECT_EQ(root.GetControl(3)->GetControlID(), 3u);
    EXPECT_EQ(root.GetControl(4)->GetControlID(), 4u);
    EXPECT_EQ(root.GetControl(99), nullptr);

    // A walk that removes the control it is visiting keeps going over the others.
    std::vector<UINT> seen;
    root.GetControls().ForEach([&](MControl* c) {
        seen.push_back(c->GetControlID());
        root.RemoveControl(c);
        return false;
    });
    EXPECT_EQ(seen, (std::vector<UINT>{2}));
    EXPECT_EQ(root.GetControl(3), nullptr);
}

TEST(ControlCursor, OnlyKnownNamesChangeTheCursor)
{
    ProbeControl c(nullptr, 1, Rect());
    c.SetCursorEx(L"hand");
    c.SetCursorEx(L"busy");
    EXPECT_EQ(c.GetCursorKind(), CursorKind::Hand);
    c.SetCursorEx(L"sizens");
    EXPECT_EQ(c.GetCursorKind(), CursorKind::SizeNS);
}

TEST(MTimerResolution, SettlesOnTheDeviceRange)
{
    struct Case {
        UINT min, max, expected;
    } cases[] = {{0, 1000, 1}, {1, 1000, 1}, {2, 1000, 2}, {5, 3, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(MTimer::ChooseResolution(c.min, c.max), c.expected) << c.min << "," << c.max;
}
