// The program as real processes: single instance, the instance channel and clean ends.
#include "platform/InstanceGuard.h"
#include "platform/TerminationSignals.h"
#include "shell/InstanceControl.h"
#include "shell/InstanceMessages.h"
#include "shell/StartupSequence.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A program folder of its own (the built executables, the library, a config.xml), so the
// program runs under a device name chosen by the test.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& deviceName)
    {
        for (const char* file : {"keystead", "keystead-send", "liblumo.so"})
            fs::copy_file(fs::path(KEYSTEAD_PROGRAM_DIR) / file, m_dir / file);
        testenv::WriteFile(m_dir / "config.xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config>\n\t<device.info/>\n\t<software name=\"" +
                               deviceName + "\" version=\"1.0.0\"/>\n</config>\n");
    }
    std::string Path(const char* file) const { return m_dir / file; }

private:
    testenv::TempFolder m_dir;
};

pid_t Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int result = ::posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    return result == 0 ? pid : -1;
}

// Exit code of the process, or -1 when it did not end normally within the deadline.
int WaitExit(pid_t pid, std::chrono::seconds deadline = 60s)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Running(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

// The channel socket appears once the instance listens.
bool WaitForChannel(const std::string& deviceName, pid_t pid)
{
    const std::string path = platform::InstanceGuard::ChannelPathFor(deviceName);
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (!fs::exists(fs::symlink_status(path))) {
        if (std::chrono::steady_clock::now() > end || !Running(pid))
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class ProgramProcessTest : public ::testing::Test {
protected:
    testenv::FreshUser m_user;
    testenv::ScopedEnv m_lang{"LANG", "en_US.UTF-8"};
};
} // namespace

TEST_F(ProgramProcessTest, SecondStartRaisesTheRunningInstanceAndExitsWithZero)
{
    ProgramFolder program("Proc Board");
    InstanceControl running(L"Proc Board");
    ASSERT_FALSE(running.OtherInstanceRuns());
    ASSERT_TRUE(running.Listen());

    const pid_t second = Spawn({program.Path("keystead")});
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitExit(second), 0);
    const auto message = running.Messages().WaitPop(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, InstanceMessages::kRaiseWindow);
    EXPECT_FALSE(fs::exists(m_user.ConfigHome() + "/Proc Board")) << "the second start touched the settings";
    EXPECT_FALSE(fs::exists(m_user.DataHome() + "/Proc Board Files"));
}

TEST_F(ProgramProcessTest, RunningProgramEndsWithZeroOnTheExitRequest)
{
    ProgramFolder program("Exit Board");
    const pid_t first = Spawn({program.Path("keystead")});
    ASSERT_GT(first, 0);
    ASSERT_TRUE(WaitForChannel("Exit Board", first));

    const pid_t second = Spawn({program.Path("keystead")});
    EXPECT_EQ(WaitExit(second), 0);
    EXPECT_TRUE(Running(first));

    const pid_t other = Spawn({program.Path("keystead-send"), "--send", "WM_USER+998"});
    EXPECT_EQ(WaitExit(other), 0);
    const pid_t exit = Spawn({program.Path("keystead-send"), "--send", "WM_USER+667", "0", "610"});
    EXPECT_EQ(WaitExit(exit), 0);
    EXPECT_EQ(WaitExit(first), 0);
    EXPECT_TRUE(fs::is_directory(m_user.DataHome() + "/Exit Board Files/db"));
    EXPECT_EQ(testenv::ReadFile(m_user.ConfigHome() + "/Exit Board/settings.ini").value_or(""), "LCID=1033\n");

    const pid_t nobody = Spawn({program.Path("keystead-send"), "--send", "WM_USER+667", "0", "610"});
    EXPECT_EQ(WaitExit(nobody), 1) << "no instance runs any more";
}

TEST_F(ProgramProcessTest, RunningProgramEndsWithZeroOnTerminationSignals)
{
    ProgramFolder program("Signal Board");
    for (const int signal : {SIGTERM, SIGINT}) {
        const pid_t first = Spawn({program.Path("keystead")});
        ASSERT_GT(first, 0);
        ASSERT_TRUE(WaitForChannel("Signal Board", first));
        ::kill(first, signal);
        EXPECT_EQ(WaitExit(first), 0) << strsignal(signal);
        EXPECT_FALSE(fs::exists(platform::InstanceGuard::ChannelPathFor("Signal Board")));
    }
}

TEST(InstanceMessages, OnlyTheExitRequestWithItsCodeEndsTheRun)
{
    using M = platform::ChannelMessage;
    const std::pair<M, bool> cases[] = {
        {{0x400 + 667, 0, 610}, true},  {{0x400 + 667, 5, 610}, true},  {{0x400 + 667, 0, 609}, false},
        {{0x400 + 667, 610, 0}, false}, {{0x400 + 998, 0, 610}, false}, {{0x8001, 0, 0}, false},
    };
    for (const auto& [message, ends] : cases)
        EXPECT_EQ(InstanceMessages::IsExitRequest(message), ends) << message.message << " " << message.lParam;
}

TEST(ServeUntilExit, EndsOnTheExitRequestOrATerminationSignal)
{
    platform::TerminationSignals signals;
    platform::ChannelMessageQueue messages;
    messages.Push({InstanceMessages::kRaiseWindow, 0, 0});
    messages.Push({InstanceMessages::kExitRequest, 0, InstanceMessages::kExitCode});
    EXPECT_EQ(ServeUntilExit(messages, signals), 0);

    ASSERT_GE(signals.Fd(), 0);
    ASSERT_EQ(::pthread_kill(::pthread_self(), SIGTERM), 0); // held by the blocked mask
    EXPECT_EQ(ServeUntilExit(messages, signals), 0);
}
