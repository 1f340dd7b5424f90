#include "shell/Language.h"

#include "platform/TextCodec.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguageFolder(platform::FromUtf8(m_dir.Path())); }
    void TearDown() override
    {
        SetLanguageFolder(L"");
        SetCurrentLanguageId(0);
    }
    std::string File(int id) const { return m_dir / (std::to_string(id) + ".lan"); }

    testenv::TempFolder m_dir;
};
} // namespace

TEST_F(LanguageTest, TextsComeFromTheFileOfTheCurrentLanguage)
{
    ASSERT_TRUE(testenv::WriteFile(File(1033), "[KB.DIALOG]\n65=Profile\n150=Language\n[OTHER]\n65=Elsewhere\n"));
    ASSERT_TRUE(testenv::WriteFile(File(2052), testenv::Utf16Le(u"[KB.DIALOG]\r\n65=\u914D\u7F6E\r\n")));
    SetCurrentLanguageId(1033);
    EXPECT_EQ(GetLanguageText(65), L"Profile");
    EXPECT_EQ(GetLanguageText(65, L"OTHER"), L"Elsewhere");
    EXPECT_EQ(GetLanguageText(151), L"") << "no fallback for a missing key";

    SetCurrentLanguageId(2052);
    EXPECT_EQ(GetLanguageText(65), L"\u914D\u7F6E");
    EXPECT_EQ(GetLanguageText(150), L"") << "no fallback to another language";

    SetCurrentLanguageId(1046);
    EXPECT_EQ(GetLanguageText(65), L"") << "missing file";
    EXPECT_EQ(GetLanguageFilePath(1046), platform::FromUtf8(File(1046)));
}

TEST_F(LanguageTest, ChangedFileIsReadAgain)
{
    SetCurrentLanguageId(1033);
    EXPECT_EQ(GetLanguageText(1), L"");
    ASSERT_TRUE(testenv::WriteFile(File(1033), "[KB.DIALOG]\n1=old\n"));
    EXPECT_EQ(GetLanguageText(1), L"old");
    ASSERT_TRUE(testenv::WriteFile(File(1033), "[KB.DIALOG]\n1=newer text\n"));
    EXPECT_EQ(GetLanguageText(1), L"newer text");
}

TEST_F(LanguageTest, BadFilesGiveEmptyTexts)
{
    std::string huge = "[KB.DIALOG]\n1=x\n";
    huge.resize(8u * 1024u * 1024u, 'y');
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""},
        {"oversized", huge},
        {"no section", "1=x\n"},
        {"truncated header", "[KB.DIAL"},
        {"UTF-16 without text", "\xFF\xFE\x5B"},
    };
    SetCurrentLanguageId(1033);
    for (const auto& [what, bytes] : files) {
        ASSERT_TRUE(testenv::WriteFile(File(1033), bytes));
        EXPECT_EQ(GetLanguageText(1), L"") << what;
    }
}
