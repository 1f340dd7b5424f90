#include "shell/StartupSequence.h"

#include "lumo/Manager.h"
#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "shell/DeviceName.h"
#include "shell/InstanceMessages.h"
#include "shell/Language.h"
#include "shell/Settings.h"
#include "shell/StartupLanguage.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
class StartupTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Lumo::Manager::SetDeviceName(L"Keystead");
        SetCurrentLanguageId(0);
    }
    std::wstring Config(std::string_view text)
    {
        const std::string path = m_user.Root() / "config.xml";
        EXPECT_TRUE(testenv::WriteFile(path, text));
        return platform::FromUtf8(path);
    }
    std::string SettingsFolder(const std::string& name) const { return m_user.ConfigHome() + "/" + name; }

    testenv::FreshUser m_user;
    testenv::ScopedEnv m_lang{"LANG", "en_US.UTF-8"}, m_all{"LC_ALL", std::nullopt},
        m_messages{"LC_MESSAGES", std::nullopt}, m_language{"LANGUAGE", std::nullopt};
};
} // namespace

TEST_F(StartupTest, DeviceNameComesFromConfigSoftwareName)
{
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"<config><device.info/><software name='Vela K1' version='1.0'/></config>", L"Vela K1"},
        {"<config><software name='Early'/><device.info/></config>", L"Early"},
        {"<config><software name='A &amp; B'/></config>", L"A & B"},
        {"\xEF\xBB\xBF<?xml version='1.0'?><config><software name='Bom'/></config>", L"Bom"},
        {"<config><software/></config>", L""},
        {"<config><software name=''/></config>", L""},
        {"<config><device.info><software name='Nested'/></device.info></config>", L""},
        {"<other><software name='Root'/></other>", L""},
        {"<config><software name='Cut'/>", L""},
        {"", L""},
        {"<!DOCTYPE c [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>]>"
         "<config><software name='&b;&b;&b;'/></config>",
         L"&b;&b;&b;"}, // declared entities are never expanded
    };
    for (const auto& [text, expected] : cases) {
        Lumo::Manager::SetDeviceName(L"Keystead");
        const std::wstring path = Config(text);
        EXPECT_EQ(ReadDeviceName(path), expected) << text;
        EXPECT_EQ(LoadDeviceName(path), *expected != 0) << text;
        EXPECT_EQ(Lumo::Manager::GetDeviceName(), *expected ? expected : L"Keystead") << text;
    }
    Lumo::Manager::SetDeviceName(L"Keystead");
    EXPECT_FALSE(LoadDeviceName(platform::FromUtf8(m_user.Root() / "missing.xml")));
    EXPECT_EQ(Lumo::Manager::GetDeviceName(), L"Keystead");
}

TEST_F(StartupTest, LanguageRuleOfTheFirstAndLaterStarts)
{
    struct Case {
        const char* what;
        std::optional<std::wstring> stored;
        int system;
        int runs;
        std::optional<std::string> storedAfter;
    };
    const Case cases[] = {
        {"first start, English system", std::nullopt, 1033, 1033, "1033"},
        {"first start, Brazilian system", std::nullopt, 1046, 1046, "2052"},
        {"first start, Chinese system", std::nullopt, 2052, 2052, "2052"},
        {"first start, British system", std::nullopt, 2057, 2057, "2052"},
        {"stored 0", L"0", 1046, 1046, "2052"},
        {"stored empty", L"", 1033, 1033, "1033"},
        {"stored text", L"english", 1046, 1046, "2052"},
        {"stored choice kept", L"1046", 1033, 1046, "1046"},
        {"stored number with tail", L"2052;", 1033, 2052, "2052;"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(m_user.ConfigHome());
        if (c.stored)
            WriteRegistryString(L"LCID", *c.stored);
        EXPECT_EQ(ChooseStartupLanguage(c.system), c.runs) << c.what;
        EXPECT_EQ(GetCurrentLanguageId(), c.runs) << c.what;
        EXPECT_EQ(ReadRegistryString(L"LCID"), platform::FromUtf8(c.storedAfter.value_or(""))) << c.what;
    }
}

TEST_F(StartupTest, SettingsFolderThatCannotBeMadeRunsInEnglishAndStoresNothing)
{
    const std::string blocker = m_user.Root() / "blocker";
    ASSERT_TRUE(testenv::WriteFile(blocker, ""));
    testenv::ScopedEnv config("XDG_CONFIG_HOME", blocker + "/sub");
    EXPECT_EQ(ChooseStartupLanguage(1046), 1033);
    EXPECT_EQ(ReadRegistryString(L"LCID"), L"");
}

TEST_F(StartupTest, FirstStartPreparesTheRunAndASecondStartOnlyRaisesIt)
{
    testenv::ScopedEnv lang("LANG", "pt_BR.UTF-8");
    const std::wstring config = Config("<config><software name='Start Board'/></config>");
    StartupSequence first(config);
    ASSERT_FALSE(first.Run());
    EXPECT_EQ(Lumo::Manager::GetDeviceName(), L"Start Board");
    EXPECT_EQ(GetCurrentLanguageId(), 1046);
    EXPECT_EQ(ReadRegistryString(L"LCID"), L"2052");
    const std::string dataFolder = m_user.DataHome() + "/Start Board Files";
    EXPECT_TRUE(std::filesystem::is_directory(dataFolder + "/db"));

    // The second start must leave settings and data alone.
    std::filesystem::remove_all(SettingsFolder("Start Board"));
    std::filesystem::remove_all(dataFolder);
    StartupSequence second(config);
    EXPECT_EQ(second.Run(), 0);
    EXPECT_FALSE(std::filesystem::exists(SettingsFolder("Start Board")));
    EXPECT_FALSE(std::filesystem::exists(dataFolder));
    const auto raise = first.Instance()->Messages().WaitPop(5000);
    ASSERT_TRUE(raise);
    EXPECT_EQ(raise->message, InstanceMessages::kRaiseWindow);
}

TEST_F(StartupTest, DifferentDeviceNamesRunSideBySide)
{
    StartupSequence a(Config("<config><software name='Board A'/></config>"));
    ASSERT_FALSE(a.Run());
    StartupSequence b(Config("<config><software name='Board B'/></config>"));
    ASSERT_FALSE(b.Run());
    EXPECT_TRUE(std::filesystem::exists(SettingsFolder("Board A") + "/settings.ini"));
    EXPECT_TRUE(std::filesystem::exists(SettingsFolder("Board B") + "/settings.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(m_user.DataHome() + "/Board A Files/db"));
    EXPECT_TRUE(std::filesystem::is_directory(m_user.DataHome() + "/Board B Files/db"));
}

TEST_F(StartupTest, MissingConfigRunsUnderTheDefaultName)
{
    StartupSequence startup(platform::FromUtf8(m_user.Root() / "none.xml"));
    ASSERT_FALSE(startup.Run());
    EXPECT_EQ(Lumo::Manager::GetDeviceName(), L"Keystead");
    EXPECT_TRUE(std::filesystem::exists(SettingsFolder("Keystead") + "/settings.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(m_user.DataHome() + "/Keystead Files/db"));
}
