#include "shell/Autostart.h"

#include "lumo/Manager.h"
#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(ShellAutostart, SwitchesTheEntryOfTheDeviceNameOnAndOff)
{
    testenv::FreshUser user;
    Lumo::Manager::SetDeviceName(L"Auto Board");
    const std::string entry = user.ConfigHome() + "/autostart/Auto Board.desktop";
    EXPECT_FALSE(IsAutostartOn());
    SetAutostart(true);
    EXPECT_TRUE(IsAutostartOn());
    const std::string text = testenv::ReadFile(entry).value_or("");
    EXPECT_NE(text.find("Exec=\"" + platform::ToUtf8(GetModuleDirWithSlash()) + "keystead\"\n"), std::string::npos)
        << text;
    SetAutostart(true); // again: still one entry, still on
    EXPECT_TRUE(IsAutostartOn());
    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());
    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());
    Lumo::Manager::SetDeviceName(L"Keystead");
}
