// Several threads at once, and a writer killed at random moments.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <unistd.h>
#include <sys/prctl.h>
#include <sys/wait.h>

using storetest::RawQuery;
using storetest::TempDir;

namespace {

constexpr int kEventsPerMacro = 5;

std::vector<MacroRecordData> EventsOf(int macroId)
{
    std::vector<MacroRecordData> events;
    for (int i = 0; i < kEventsPerMacro; ++i)
        events.push_back({0, macroId, 2, i, 0x41 + i, 10, L"ä" + std::to_wstring(i)});
    return events;
}

TEST(StoreThreads, ConcurrentWritersAndReadersLoseNothing)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), L"K100"));
    for (int mode = 1; mode <= 3; ++mode)
        store.AddLight({0, 1, L"l", mode, 0, 0, 0, 0, 0, 0, 0, 0, 0});

    std::vector<int> failures(kThreads + 1, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const int profile = t + 1;
            for (int round = 0; round < kRounds; ++round) {
                const int macro = store.AddMacro(L"m" + std::to_wstring(t));
                failures[t] += macro == 0;
                failures[t] += store.SaveMacroEvents(EventsOf(macro)) != kEventsPerMacro;
                failures[t] += store.SaveKeyAssignment({0, profile, 0, round + 4, 0, L"", 3, macro, 0, 0, L""}) == 0;
                std::vector<MacroRecordData> events;
                failures[t] += store.GetMacroEvents(macro, events) != kEventsPerMacro;
                std::vector<KeyMacroData> keys;
                failures[t] += store.GetLayerAssignments(profile, 0, keys) != round + 1;
            }
        });
    }
    // The monitor-like reader: activation marks are always exactly one row.
    threads.emplace_back([&] {
        for (int round = 0; round < kRounds * 4; ++round) {
            failures[kThreads] += !store.SetActiveLight(1, round % 3 + 1);
            failures[kThreads] += store.GetActiveLightMode(1) == 0;
        }
    });
    for (std::thread& t : threads)
        t.join();

    for (int t = 0; t <= kThreads; ++t)
        EXPECT_EQ(failures[t], 0) << "thread " << t;
    std::vector<MacroData> macros;
    EXPECT_EQ(store.GetMacros(macros), kThreads * kRounds);
    for (const MacroData& m : macros) {
        std::vector<MacroRecordData> events;
        EXPECT_EQ(store.GetMacroEvents(m.macro_id, events), kEventsPerMacro) << m.macro_id;
    }
    store.CloseDatabase();
    EXPECT_EQ(RawQuery(dir.Path() / "db/K100_data_v1.db", "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

// Child: commits one macro's events per transaction and reports each id after its commit.
[[noreturn]] void WriteUntilKilled(const std::filesystem::path& file, int firstId, int reportFd)
{
    // The parent always kills the writer; the deadline only guards against an orphan, and is
    // long because a loaded machine can starve the writer for seconds.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    DataStore store;
    if (!store.OpenDatabaseFile(file.wstring()))
        _exit(2);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (int id = firstId; std::chrono::steady_clock::now() < deadline; ++id) {
        if (store.SaveMacroEvents(EventsOf(id)) == kEventsPerMacro && write(reportFd, &id, sizeof id) != sizeof id)
            _exit(3);
    }
    _exit(0);
}

TEST(StoreDurability, KilledWriterNeverCorruptsOrLosesACommit)
{
    constexpr int kKills = 20;
    TempDir dir;
    const std::filesystem::path file = dir.Path() / "durable.db";
    std::mt19937 random(std::random_device{}());
    std::set<int> reported;

    for (int kill = 0; kill < kKills; ++kill) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            WriteUntilKilled(file, (kill + 1) * 100000, fds[1]);
        }
        close(fds[1]);
        // Kill after a random number of reported commits and a random pause, so the signal
        // lands anywhere: while opening, inside a transaction, during a commit.
        const int waitFor = std::uniform_int_distribution<int>(0, 6)(random);
        int id = 0;
        for (int n = 0; n < waitFor && read(fds[0], &id, sizeof id) == sizeof id; ++n)
            reported.insert(id);
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "writer stopped by itself with " << WEXITSTATUS(status);
        while (read(fds[0], &id, sizeof id) == sizeof id)
            reported.insert(id);
        close(fds[0]);

        // A writer killed before SQLite created the file leaves nothing to check yet.
        if (!std::filesystem::exists(file)) {
            EXPECT_TRUE(reported.empty()) << "commits reported but no file after kill " << kill;
            continue;
        }
        ASSERT_EQ(RawQuery(file, "PRAGMA integrity_check"), std::vector<std::string>{"ok"}) << "after kill " << kill;
    }

    // Every transaction is all or nothing, and every reported commit is there.
    std::map<int, int> stored;
    for (const std::string& row : RawQuery(file, "SELECT macro_id, count(*) FROM t_macrorecord GROUP BY macro_id")) {
        const size_t bar = row.find('|');
        stored[std::stoi(row.substr(0, bar))] = std::stoi(row.substr(bar + 1));
    }
    for (const auto& [macro, count] : stored)
        EXPECT_EQ(count, kEventsPerMacro) << "macro " << macro;
    for (int id : reported)
        EXPECT_EQ(stored.count(id), 1u) << "reported commit " << id << " is missing";
    EXPECT_FALSE(reported.empty());
}

} // namespace
