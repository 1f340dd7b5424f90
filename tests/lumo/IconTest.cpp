#include "RecordingBackend.h"
#include "TestDialog.h"

#include "lumo/MessageLoop.h"
#include "lumo/ResourceModule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace Lumo;
using namespace LumoTest;

TEST(WindowIcon, ComesFromTheProgramResourcesWhenThereIsOne)
{
    TempSkins skins;
    const std::string png = skins.Png("icon.png", 16, 16, [](cairo_t* cr) { Fill(cr, 0, 0, 16, 16, 0xFF00FF00); });
    std::ifstream in(png, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    ResourceModule program;
    program.Add(5, L"PNG", bytes);
    program.Add(6, L"ICON", bytes);
    program.Add(8, L"ICON", {0x00, 0x00, 0x01, 0x00}); // not something the loader reads
    ResourceModule* previous = Manager::GetInstance();
    Manager::SetInstance(&program);
    {
        RecordingDesktop desktop;
        TestDialog d;
        EXPECT_EQ(d.SetIcon(5), 0) << "no window yet";
        ASSERT_TRUE(d.Open());
        RecordingWindow* w = desktop->windows.back();
        for (UINT missing : {99u, 8u}) {
            EXPECT_EQ(d.SetIcon(missing), 0) << missing;
            EXPECT_FALSE(w->icon) << missing;
        }
        EXPECT_EQ(d.SetIcon(5), 1);
        ASSERT_TRUE(w->icon);
        EXPECT_EQ(w->icon->Width(), 16);
        EXPECT_EQ(Pixel(*w->icon, 8, 8), 0xFF00FF00u);
        w->icon.reset();
        EXPECT_EQ(d.SetIcon(6), 1) << "an ICON resource the loader can read";
        EXPECT_TRUE(w->icon);
    }
    Manager::SetInstance(previous);
    PumpMessages();
}
