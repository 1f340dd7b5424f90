#include "shell/Settings.h"

#include "lumo/Manager.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Lumo::Manager::SetDeviceName(L"Test Board"); }
    void TearDown() override { Lumo::Manager::SetDeviceName(L"Keystead"); }

    std::string SettingsFile() const { return m_user.ConfigHome() + "/Test Board/settings.ini"; }

    testenv::FreshUser m_user;
};
} // namespace

TEST_F(SettingsTest, FirstReadCreatesTheFolderAndFindsNoLanguage)
{
    EXPECT_EQ(ReadLanguageId(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(m_user.ConfigHome() + "/Test Board"));
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    WriteLanguageId(2052);
    EXPECT_EQ(testenv::ReadFile(SettingsFile()).value_or(""), "LCID=2052\n");
    EXPECT_EQ(ReadLanguageId(), 2052);
}

TEST_F(SettingsTest, StoredTextReadsAsItsLeadingNumber)
{
    const std::pair<std::wstring, int> cases[] = {
        {L"1046", 1046}, {L"0", 0}, {L"", 0}, {L"abc", 0}, {L"2052 zh", 2052}, {L" 7", 7}, {L"-3", -3},
        {L"99999999999", 2147483647},
    };
    for (const auto& [text, expected] : cases) {
        WriteRegistryString(L"LCID", text);
        EXPECT_EQ(ReadLanguageId(), expected);
        WriteRegistryString(L"exit_mode", text);
        EXPECT_EQ(ReadRegistryInt(L"exit_mode"), expected);
    }
}

TEST_F(SettingsTest, ValuesKeepEachOtherAndOddText)
{
    WriteRegistryString(L"LCID", L"1033");
    WriteRegistryString(L"exit_mode", L"2");
    WriteRegistryString(L"odd=name\n", L"line\nbreak \\ and # and = \u00E9");
    WriteRegistryString(L"lcid", L"1046");
    EXPECT_EQ(ReadLanguageId(), 1046) << "names ignore case";
    EXPECT_EQ(ReadRegistryInt(L"exit_mode"), 2);
    EXPECT_EQ(ReadRegistryString(L"odd=name\n"), L"line\nbreak \\ and # and = \u00E9");
    EXPECT_EQ(ReadRegistryString(L"missing"), L"");
    EXPECT_EQ(ReadRegistryInt(L"missing"), 0);
}

TEST_F(SettingsTest, UnreadableFileHoldsNoValues)
{
    WriteRegistryString(L"LCID", L"1033");
    std::filesystem::remove(SettingsFile());
    std::filesystem::create_directory(SettingsFile()); // a folder where the file should be
    EXPECT_EQ(ReadLanguageId(), 0);
    EXPECT_EQ(ReadRegistryInt(L"exit_mode"), 0);
}

TEST_F(SettingsTest, FolderThatCannotBeMadeGivesEnglishAndTakesNoWrites)
{
    const std::string blocker = m_user.Root() / "not-a-folder";
    ASSERT_TRUE(testenv::WriteFile(blocker, "x"));
    testenv::ScopedEnv config("XDG_CONFIG_HOME", blocker);
    EXPECT_EQ(ReadLanguageId(), 1033);
    WriteLanguageId(2052);
    EXPECT_EQ(ReadRegistryInt(L"LCID"), 0);
    EXPECT_EQ(testenv::ReadFile(blocker).value_or(""), "x");
}

TEST_F(SettingsTest, DeviceNameNeverLeavesTheConfigFolder)
{
    for (const wchar_t* name : {L"../escape", L"..", L"a/b", L""}) {
        Lumo::Manager::SetDeviceName(name);
        WriteRegistryString(L"LCID", L"1033");
        EXPECT_EQ(ReadLanguageId(), 1033);
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_user.Root().Path())) {
        const std::string path = entry.path().string();
        if (entry.is_regular_file()) {
            EXPECT_EQ(path.rfind(m_user.ConfigHome() + "/", 0), 0u) << path;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(m_user.Root() / "escape"));
}
