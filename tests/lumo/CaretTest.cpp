#include "TestDialog.h"

#include "lumo/MessageLoop.h"

#include <gtest/gtest.h>

using namespace Lumo;
using namespace LumoTest;

namespace {

struct CaretTest : ::testing::Test {
    void TearDown() override
    {
        PumpMessages();
        Message m;
        while (PeekMessageW(m)) {
        }
    }
};

} // namespace

TEST_F(CaretTest, BitmapCaretIsDrawnScaledIntoTheCaretRectangle)
{
    TestDialog d;
    ProbeControl* edit = nullptr;
    d.onInit = [&](TestDialog& self) { edit = self.AddProbe(7, Rect(10, 10, 200, 100)); };
    ASSERT_TRUE(d.Open());
    PaintManager& pm = d.GetPaintManager();
    pm.SetFocusControl(edit);
    {
        // 2 x 1: red left, blue right; the caret keeps its own copy.
        auto bitmap = Canvas::Create(2, 1);
        bitmap->SetPixel(0, 0, 0xFFFF0000);
        bitmap->SetPixel(1, 0, 0xFF0000FF);
        pm.CreateCaret(bitmap.get(), 4, 10);
    }
    pm.SetCaretPos(edit, 20, 30);
    pm.ShowCaret(1);
    pm.Compose(d.GetClientRect());
    const Canvas& buffer = *pm.GetBackBuffer();
    EXPECT_EQ(Pixel(buffer, 20, 30), 0xFFFF0000u);
    EXPECT_EQ(Pixel(buffer, 23, 39), 0xFF0000FFu);
    EXPECT_EQ(Pixel(buffer, 24, 30), edit->colors[0]) << "nothing beyond width";
    EXPECT_EQ(Pixel(buffer, 20, 40), edit->colors[0]) << "nothing beyond height";

    pm.CreateCaret(nullptr, 2, 10); // back to the solid bar (white for a control without text colour)
    pm.Compose(d.GetClientRect());
    EXPECT_EQ(Pixel(*pm.GetBackBuffer(), 21, 35) & 0x00F0F0F0u, 0x00F0F0F0u);
    EXPECT_EQ(Pixel(*pm.GetBackBuffer(), 22, 35), edit->colors[0]);

    pm.SetFocusControl(nullptr); // a caret without a focused edit is not drawn
    pm.Compose(d.GetClientRect());
    EXPECT_EQ(Pixel(*pm.GetBackBuffer(), 21, 35), edit->colors[0]);
}
