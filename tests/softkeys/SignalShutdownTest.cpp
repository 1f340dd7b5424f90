#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct SignalCase {
    const char* name;
    const char* mode;   // what the child does after pressing the key
    int killWith;       // signal the test sends; 0 when the child crashes by itself
    int endsBy;         // signal that ends the child
};

class SignalShutdownTest : public ::testing::TestWithParam<SignalCase> {};

std::string ReleasedReport(int id)
{
    std::string hex = "05" + std::string("0") + std::to_string(id);
    return "report " + hex + std::string(124, '0');
}

TEST_P(SignalShutdownTest, DevicesEndWithEverythingReleasedAndEmptyTable)
{
    const auto& c = GetParam();
    const fs::path log = fs::temp_directory_path() / ("keystead-signal-" + std::to_string(getpid()) + c.name);
    fs::remove(log);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = SOFTKEYS_SIGNAL_CHILD;
    std::string mode = c.mode;
    std::string logPath = log.string();
    char* argv[] = {program.data(), mode.data(), logPath.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    std::string said;
    char buf[256];
    ssize_t n;
    while (said.find("ready\n") == std::string::npos && (n = read(out[0], buf, sizeof(buf))) > 0)
        said.append(buf, static_cast<size_t>(n));
    close(out[0]);
    ASSERT_NE(said.find("ready\n"), std::string::npos) << said;
    if (c.killWith != 0)
        kill(pid, c.killWith);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), c.endsBy);

    std::vector<std::string> reports;
    std::string lastControl;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("report ", 0) == 0)
            reports.push_back(line);
        else if (line.rfind("control ", 0) == 0)
            lastControl = line;
    }
    fs::remove(log);

    // The key was down (usage 4: bit 4 of report byte 3) before the end ...
    const std::string keyDown = "report 0501" + std::string(2, '0') + "10" + std::string(120, '0');
    EXPECT_NE(std::find(reports.begin(), reports.end(), keyDown), reports.end());
    // ... and the devices' last word releases everything and empties the key table.
    ASSERT_GE(reports.size(), 4u);
    const std::vector<std::string> tail(reports.end() - 4, reports.end());
    EXPECT_EQ(tail, (std::vector<std::string>{ReleasedReport(1), ReleasedReport(2), ReleasedReport(3), ReleasedReport(4)}));
    EXPECT_EQ(lastControl, "control 22a000 " + std::string(512, '0'));
}

INSTANTIATE_TEST_SUITE_P(Endings, SignalShutdownTest,
                         ::testing::Values(SignalCase{"Term", "wait", SIGTERM, SIGTERM},
                                           SignalCase{"Interrupt", "wait", SIGINT, SIGINT},
                                           SignalCase{"Segfault", "segv", 0, SIGSEGV},
                                           SignalCase{"Abort", "abort", 0, SIGABRT}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
