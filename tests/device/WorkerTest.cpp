#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "Bytes.h"
#include "StackRig.h"
#include "device/FeatureCommands.h"
#include "device/Uploads.h"

using namespace keystead::device;
using devtest::StackRig;
using Pauses = std::vector<int>;
using Strings = std::vector<std::string>;

namespace {

struct RecordingUpdates : UpdateTaskRunner {
    DeviceLink* link = nullptr;
    std::vector<int> tasks;
    int firmware = 0;
    void RunUpdateTask(int task) override
    {
        tasks.push_back(task);
        if (task == Task::FirmwareCheck && link)
            firmware = ReadKeyboardFirmware(*link);
    }
};

struct RecordingPlayer : MacroPlayer {
    std::vector<int> played;
    void PlayMacro(int macroId) override { played.push_back(macroId); }
};

} // namespace

TEST(Worker, StartUpRunsTheUpdateCheckAndDetectionThenRefreshes)
{
    StackRig rig(201, 0, false);
    RecordingUpdates updates;
    updates.link = rig.link.get();
    RecordingPlayer player;
    rig.worker.SetUpdateTaskRunner(&updates);
    rig.worker.SetMacroPlayer(&player);
    rig.queues.PushTask(Task::SoftwareCheck);
    rig.queues.PushTask(Task::FirstDetection);
    rig.queues.PushPlay(9);

    rig.worker.Cycle(); // 12 runs without a keyboard; nothing is played without one
    EXPECT_EQ(updates.tasks, std::vector<int>({12}));
    EXPECT_TRUE(player.played.empty());
    rig.worker.Cycle(); // 1: detection queues 13 and 5, then the queued macro plays
    EXPECT_EQ(rig.host.calls, Strings({"reset states", "device 201=1", "popups", "text 60", "mode 0", "pages", "analyser"}));
    EXPECT_EQ(rig.queues.Tasks(), std::deque<int>({13, 5}));
    EXPECT_EQ(player.played, std::vector<int>({9}));
    rig.host.calls.clear();
    rig.RunQueued();
    EXPECT_EQ(updates.tasks, std::vector<int>({12, 13}));
    EXPECT_EQ(updates.firmware, 0x0105);
    EXPECT_EQ(rig.host.calls,
        Strings({"disable", "enable", "disable", "macros", "profiles", "key table", "lighting", "enable"}));

    // The first detection runs once per process.
    rig.host.calls.clear();
    rig.Run(Task::FirstDetection);
    EXPECT_TRUE(rig.host.calls.empty());
}

TEST(Worker, RefreshFollowsThePageFlags)
{
    struct Case {
        unsigned flags;
        Strings calls;
    };
    const Case cases[] = {
        {0x41, {"disable", "profiles", "key table", "enable"}},
        {0x02, {"disable", "macros", "enable"}},
        {0x04, {"disable", "lighting", "enable"}},
        {0x00, {"disable", "enable"}},
    };
    for (const Case& c : cases) {
        StackRig rig;
        rig.host.pageFlags = c.flags;
        rig.Run(Task::RefreshPages);
        EXPECT_EQ(rig.host.calls, c.calls);
    }
}

TEST(Worker, TasksWithoutAKeyboardAreDropped)
{
    struct Case {
        int task;
        Strings calls;
    };
    const Case cases[] = {
        {Task::UploadKeys, {"close wait"}}, {Task::UploadLighting, {"close wait"}}, {Task::UploadColours, {"close wait"}},
        {Task::FactoryReset, {"close wait"}}, {Task::RefreshPages, {}}, {Task::FirmwareCheck, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.task);
        StackRig rig(201, 0);
        rig.AddLight(5, 4, 3, 1, 0, 2, 0xFF);
        rig.keyboard->Detach(0);
        rig.Run(Task::DetectAfterRemoval);
        rig.Reset();
        RecordingPlayer player;
        rig.worker.SetMacroPlayer(&player);
        rig.queues.PushPlay(3);
        rig.Run(c.task);
        rig.keyboard->Attach(0); // back, but the task is gone
        rig.worker.Cycle();
        EXPECT_TRUE(rig.queues.TaskQueueEmpty());
        EXPECT_TRUE(rig.keyboard->Log().empty());
        EXPECT_EQ(rig.host.calls, c.calls);
        EXPECT_TRUE(player.played.empty()) << "macros play only while a keyboard is present";
    }
}

TEST(Worker, ArrivalAndRemovalNotificationsRedetect)
{
    StackRig rig;
    auto watcher = rig.link->MakeWatcher();
    ASSERT_TRUE(watcher->Start(
        [&](platform::DeviceChange change, const std::string& identity) { rig.worker.OnDeviceChange(change, identity); }));

    rig.keyboard->Detach(0);
    EXPECT_EQ(rig.queues.Tasks(), std::deque<int>({3}));
    EXPECT_EQ(rig.worker.Flags().lastEvent.kind, 2);
    rig.RunQueued();
    EXPECT_FALSE(rig.worker.Flags().candidatesPresent);
    EXPECT_EQ(rig.host.calls, Strings({"reset states", "popups", "text 61", "home"}));
    EXPECT_EQ(rig.worker.ModeList()[0].state, 0);

    rig.host.calls.clear();
    rig.keyboard->Attach(0);
    EXPECT_EQ(rig.queues.Tasks(), std::deque<int>({2}));
    EXPECT_EQ(rig.worker.Flags().lastEvent.number, 201);
    rig.RunQueued();
    EXPECT_TRUE(rig.worker.Flags().keyboardConnected);
    EXPECT_EQ(rig.worker.ModeList()[0].state, 1);
    EXPECT_TRUE(rig.link->IsUsable());

    // Removal of an identity whose entry is not connected queues nothing.
    rig.keyboard->Attach(1);
    rig.keyboard->Detach(1);
    EXPECT_EQ(rig.queues.Tasks(), std::deque<int>({2}));
    watcher->Stop();
}

TEST(Worker, IdleCycleStreamsThePictureColours)
{
    struct Case {
        const char* name;
        std::function<void(StackRig&)> change;
        bool streams;
    };
    const Case cases[] = {
        {"music effect shown", [](StackRig&) {}, true},
        {"screen effect shown", [](StackRig& r) { r.host.lightFunc = 0x400; }, true},
        {"hidden window", [](StackRig& r) { r.host.visible = false; }, false},
        {"another tab", [](StackRig& r) { r.host.tab = 2; }, false},
        {"plain effect", [](StackRig& r) { r.host.lightFunc = 0x01; }, false},
        {"dark picture", [](StackRig& r) { r.host.picture = {{0x04, 1}, {0x05, 0}}; }, false},
        {"tasks queued",
            [](StackRig& r) {
                r.queues.PushTask(Task::OtherModelPicked);
                r.queues.PushTask(Task::OtherModelPicked);
            },
            false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StackRig rig(100);
        rig.host.tab = 3;
        rig.host.lightFunc = 0x200;
        rig.host.picture = {{0x04, 0x0000FF}, {0x05, 0x000001}, {0x2C, 0x00FF00}};
        c.change(rig);
        rig.worker.Cycle();
        rig.worker.Cycle();
        const auto log = rig.keyboard->Log();
        if (!c.streams) {
            EXPECT_TRUE(log.empty());
            continue;
        }
        ASSERT_EQ(log.size(), 13u) << "start once, then six chunks per cycle";
        EXPECT_EQ(devtest::Significant(log[0].bytes), "00 F0 F4 01");
        EXPECT_EQ(log[0].identity, "HID#VID_1209&PID_4B01&MI_02");
        EXPECT_EQ(log[1].identity, "HID#VID_1209&PID_4B01&MI_03");
        const auto state = rig.keyboard->State();
        EXPECT_EQ(state.streamFrames, 2);
        EXPECT_EQ(devtest::ToHex(std::span(state.colourStream).first(6)), "FF 00 00 01 00 00");
        EXPECT_EQ(devtest::ToHex(std::span(state.colourStream).last(3)), "00 FF 00");
        EXPECT_EQ(rig.clock.Pauses(), Pauses(12, 1));
    }
    // Family B and connection modes other than 0 never stream.
    for (const auto& [type, mode] : {std::pair{201, 0}, std::pair{100, 1}}) {
        StackRig rig(type, mode);
        rig.host.tab = 3;
        rig.host.lightFunc = 0x200;
        rig.host.picture = {{0x04, 0x0000FF}};
        rig.worker.Cycle();
        EXPECT_TRUE(rig.keyboard->Log().empty());
    }
}

// A keyboard pulled out after any number of reports ends each sequence cleanly: no report
// after it left, no pause beyond the one in progress and the task's own, and the next
// detection finds it again once it is back.
TEST(Worker, UnplugInTheMiddleOfEverySequence)
{
    struct Case {
        const char* name;
        int type;
        int mode;
        int task;
    };
    const Case cases[] = {
        {"family A keys", 100, 0, Task::UploadKeys}, {"family B keys", 201, 0, Task::UploadKeys},
        {"family A lighting", 100, 0, Task::UploadLighting}, {"family B lighting", 201, 1, Task::UploadLighting},
        {"custom colours", 100, 0, Task::UploadColours}, {"family A reset", 100, 0, Task::FactoryReset},
        {"family B reset", 201, 0, Task::FactoryReset}, {"framed reset", 201, 1, Task::FactoryReset},
        {"firmware", 201, 0, Task::FirmwareCheck},
    };
    for (const Case& c : cases) {
        for (int after = 0;; ++after) {
            SCOPED_TRACE(std::string(c.name) + ", unplugged after " + std::to_string(after));
            StackRig rig(c.type, c.mode);
            RecordingUpdates updates;
            updates.link = rig.link.get();
            rig.worker.SetUpdateTaskRunner(&updates);
            const int macro = rig.AddMacro(L"M", 1, std::vector<std::pair<int, int>>(25, {65, 20}));
            rig.Assign(0x04, 3, macro);
            rig.Assign(0x05, 7, 13);
            rig.Assign(0x06, 2, 0x29);
            rig.AddLight(5, 4, 3, 1, 0, 2, 0xFF);
            rig.store.SaveKeyLights({{0, 1, 128, 0x04, 0x332211}});
            std::int64_t unpluggedAt = -1;
            const int listener = rig.keyboard->AddListener([&](bool arrival, const std::string&) {
                if (!arrival && unpluggedAt < 0)
                    unpluggedAt = rig.clock.NowMicros();
            });
            rig.keyboard->DetachAfter(after);
            rig.Run(c.task);
            rig.keyboard->RemoveListener(listener);
            EXPECT_TRUE(rig.queues.TaskQueueEmpty());
            if (unpluggedAt < 0)
                break; // the whole sequence went out before the keyboard would have left
            EXPECT_EQ(rig.keyboard->Log().size(), static_cast<std::size_t>(after));
            EXPECT_LE(rig.clock.NowMicros() - unpluggedAt, 200'000) << "no pauses after the keyboard left";
            EXPECT_FALSE(rig.link->IsUsable());

            rig.keyboard->Attach(c.mode);
            rig.Run(Task::DetectAfterArrival);
            EXPECT_TRUE(rig.worker.Flags().keyboardConnected);
            EXPECT_TRUE(rig.link->IsUsable());
            EXPECT_TRUE(rig.link->SendFeatureNow(BuildReadFirmware()));
        }
    }
}

TEST(Worker, ThreadCyclesEvery16msUntilStopped)
{
    struct Counter : CThreadBasic {
        using CThreadBasic::CThreadBasic;
        ~Counter() override { Stop(); }
        std::atomic<int> cycles{0};
        void Cycle() override { ++cycles; }
    };
    platform::ManualClock clock;
    Counter counter(clock);
    counter.Start();
    counter.Start(); // already running: nothing
    for (int spins = 0; counter.cycles < 5 && spins < 1'000'000; ++spins)
        std::this_thread::yield();
    counter.Stop();
    EXPECT_FALSE(counter.IsRunning());
    const int cycles = counter.cycles;
    EXPECT_GE(cycles, 5);
    const Pauses pauses = clock.Pauses();
    EXPECT_TRUE(std::all_of(pauses.begin(), pauses.end(), [](int p) { return p == 16; }));
    EXPECT_EQ(counter.Period(), 16);
    EXPECT_EQ(counter.cycles, cycles) << "no cycle after Stop";
}
