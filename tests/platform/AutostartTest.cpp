#include "platform/Autostart.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(Autostart, EntryPresentMeansOn)
{
    testenv::FreshUser user;
    const platform::Autostart entry("Test Board");
    EXPECT_EQ(entry.EntryPath(), user.ConfigHome() + "/autostart/Test Board.desktop");
    EXPECT_FALSE(entry.IsOn());
    EXPECT_TRUE(entry.Disable()) << "nothing to remove is fine";
    ASSERT_TRUE(entry.Enable("/opt/board/keystead"));
    EXPECT_TRUE(entry.IsOn());
    EXPECT_EQ(testenv::ReadFile(entry.EntryPath()).value_or(""), entry.EntryText("/opt/board/keystead"));
    ASSERT_TRUE(entry.Disable());
    EXPECT_FALSE(entry.IsOn());
}

TEST(Autostart, ProgramPathIsQuotedForTheExecLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/opt/b/keystead", "Exec=\"/opt/b/keystead\"\n"},
        {"/home/u/My Board/keystead", "Exec=\"/home/u/My Board/keystead\"\n"},
        {"/a\"b/$c`d/100%/keystead", "Exec=\"/a\\\\\"b/\\\\$c\\\\`d/100%%/keystead\"\n"},
        {"/back\\slash/keystead", "Exec=\"/back\\\\\\\\slash/keystead\"\n"},
    };
    const platform::Autostart entry("Board");
    for (const auto& [program, execLine] : cases)
        EXPECT_NE(entry.EntryText(program).find(execLine), std::string::npos) << entry.EntryText(program);
}

TEST(Autostart, ConfigFolderThatCannotBeMadeLeavesItOff)
{
    testenv::TempFolder dir;
    ASSERT_TRUE(testenv::WriteFile(dir / "file", "x"));
    testenv::ScopedEnv config("XDG_CONFIG_HOME", dir / "file");
    const platform::Autostart entry("Board");
    EXPECT_FALSE(entry.Enable("/opt/keystead"));
    EXPECT_FALSE(entry.IsOn());
}
