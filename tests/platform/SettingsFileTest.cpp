#include "platform/Settings.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

TEST(SettingsFile, SerializedValuesParseBack)
{
    const platform::Settings::Values values = {
        {"LCID", "1033"}, {"", "empty name"}, {"a=b", "c=d"}, {"#hash", "#"}, {"back\\slash", "x\\"},
        {"lines\r\n", "one\ntwo\r\n"}, {"utf8 \xC3\xA9", "\xE9\x85\x8D"},
    };
    EXPECT_EQ(platform::Settings::Parse(platform::Settings::Serialize(values)), values);
}

TEST(SettingsFile, WriteNeedsTheFolderAndKeepsOtherValues)
{
    testenv::TempFolder dir;
    const platform::Settings settings(dir / "app");
    EXPECT_FALSE(settings.Write("a", "1"));
    EXPECT_FALSE(settings.Read("a"));
    ASSERT_TRUE(settings.CreateFolder());
    EXPECT_TRUE(settings.Write("a", "1"));
    EXPECT_TRUE(settings.Write("b", "2"));
    EXPECT_TRUE(settings.Write("A", "3"));
    EXPECT_EQ(settings.ReadAll(), (platform::Settings::Values{{"a", "3"}, {"b", "2"}}));
    // Only the settings file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "app"), std::filesystem::directory_iterator()), 1);
}

// A writer killed at any moment leaves the previous or the next complete file.
TEST(SettingsFile, SurvivesAWriterKilledMidWrite)
{
    testenv::TempFolder dir;
    const platform::Settings settings(dir / "app");
    ASSERT_TRUE(settings.CreateFolder());
    constexpr int kValues = 16;
    constexpr size_t kValueLength = 2000;
    auto valueOf = [](int round) { return std::string(kValueLength, static_cast<char>('a' + round % 26)); };
    for (int i = 0; i < kValues; ++i)
        ASSERT_TRUE(settings.Write("v" + std::to_string(i), valueOf(0)));

    for (int attempt = 0; attempt < 12; ++attempt) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            for (int round = 1;; ++round) {
                settings.Write("v" + std::to_string(round % kValues), valueOf(round));
                const char tick = 't';
                if (::write(pipeFds[1], &tick, 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(pipeFds[1]);
        // Let the writer complete a varying number of rounds, then kill it wherever it is.
        for (int seen = 0; seen <= attempt % 3;) {
            char tick;
            ASSERT_EQ(::read(pipeFds[0], &tick, 1), 1);
            ++seen;
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipeFds[0]);

        const auto values = settings.ReadAll();
        ASSERT_EQ(values.size(), static_cast<size_t>(kValues)) << "attempt " << attempt;
        for (int i = 0; i < kValues; ++i) {
            EXPECT_EQ(values[i].first, "v" + std::to_string(i));
            ASSERT_EQ(values[i].second.size(), kValueLength);
            EXPECT_EQ(values[i].second.find_first_not_of(values[i].second[0]), std::string::npos);
        }
    }
}
