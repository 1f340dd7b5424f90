#include "../softkeys/Reports.h"

#include "macros/MacroPlayer.h"
#include "platform/SimulatedVirtualHidDevice.h"
#include "softkeys/VHidev.h"
#include "store/DataStore.h"

#include <gtest/gtest.h>

namespace {

using expect::Concat;
using expect::Consumer;
using expect::Keys;
using platform::InjectionReport;

class MacroPlayerTest : public ::testing::Test {
protected:
    MacroPlayerTest()
    {
        auto device = std::make_unique<platform::SimulatedVirtualHidDevice>();
        device_ = device.get();
        vhid_ = std::make_unique<VHidev>(std::move(device));
        EXPECT_TRUE(store_.OpenDatabaseFile(L":memory:"));
        player_ = std::make_unique<MacroPlayer>(*vhid_, store_, [this](int ms) {
            pauses_.push_back(ms);
            if (onPause)
                onPause();
        });
    }

    // A macro of (type, virtual key, delay) events, stored out of order to show playing follows record_index.
    int AddMacro(int playTimes, const std::vector<std::tuple<int, int, int>>& events)
    {
        MacroData m;
        m.name = L"M";
        m.play_times = playTimes;
        m.delay_type = 1;
        const int id = store_.AddMacroWithSettings(m);
        for (size_t i = events.size(); i-- > 0;) {
            MacroRecordData e;
            e.macro_id = id;
            e.record_index = static_cast<int>(i);
            std::tie(e.type, e.value, e.delay_time) = events[i];
            store_.AddMacroEvent(e);
        }
        return id;
    }

    DataStore store_;
    platform::SimulatedVirtualHidDevice* device_ = nullptr;
    std::unique_ptr<VHidev> vhid_;
    std::unique_ptr<MacroPlayer> player_;
    std::vector<int> pauses_;
    std::function<void()> onPause;
};

TEST_F(MacroPlayerTest, PlaysEveryRepetitionWithMinimumPausesAndReleases)
{
    const int id = AddMacro(3, {{2, 'A', 0}, {3, 'A', 20}});
    player_->PlayMacro(id);
    std::vector<InjectionReport> round = Concat({{Keys({4}), Keys({})}, expect::ReleaseAll()});
    EXPECT_EQ(device_->Reports(), Concat({expect::ReleaseAll(), round, round, round}));
    EXPECT_EQ(pauses_, (std::vector<int>{5, 20, 5, 20, 5, 20}));
}

TEST_F(MacroPlayerTest, ConsumerKeysModifiersAndUntranslatedCodes)
{
    // Volume up (175 -> 234), left Ctrl (162 -> 224), an untranslated code (7 -> usage 0).
    const int id = AddMacro(1, {{2, 175, 1}, {3, 175, 1}, {2, 162, 1}, {2, 7, 1}, {3, 162, 1}});
    player_->PlayMacro(id);
    InjectionReport ctrlAndZero = Keys({224});
    ctrlAndZero.bytes[3] |= 0x01;
    InjectionReport zero = Keys({});
    zero.bytes[3] |= 0x01;
    EXPECT_EQ(device_->Reports(), Concat({expect::ReleaseAll(),
                                          {Consumer(0x00E9), Consumer(0), Keys({224}), ctrlAndZero, zero},
                                          expect::ReleaseAll()}));
}

TEST_F(MacroPlayerTest, MissingMacroOnlyReleases)
{
    player_->PlayMacro(99);
    EXPECT_EQ(device_->Reports(), expect::ReleaseAll());
    EXPECT_TRUE(pauses_.empty());
}

TEST_F(MacroPlayerTest, NothingIsPlayedWithoutVirtualDevice)
{
    const int id = AddMacro(1, {{2, 'A', 0}});
    device_->SetPresent(false);
    player_->PlayMacro(id);
    EXPECT_TRUE(device_->Reports().empty());
    device_->SetPresent(true);
    player_->PlayMacro(id);  // found again
    EXPECT_FALSE(device_->Reports().empty());
}

TEST_F(MacroPlayerTest, StopEndsPlaybackBeforeTheNextEventAndForGood)
{
    const int id = AddMacro(5, {{2, 'A', 100}, {3, 'A', 100}});
    onPause = [this] { player_->Stop(); };
    player_->PlayMacro(id);
    EXPECT_EQ(device_->Reports(), Concat({expect::ReleaseAll(), {Keys({4})}, expect::ReleaseAll()}));
    device_->ClearReports();
    player_->PlayMacro(id);
    EXPECT_TRUE(device_->Reports().empty());
}

TEST(MacroPlayerRealPause, StopCutsTheRealPauseShort)
{
    auto device = std::make_unique<platform::SimulatedVirtualHidDevice>();
    VHidev vhid(std::move(device));
    DataStore store;
    ASSERT_TRUE(store.OpenDatabaseFile(L":memory:"));
    MacroData m;
    m.play_times = 1;
    const int id = store.AddMacroWithSettings(m);
    MacroRecordData e;
    e.macro_id = id;
    e.type = 2;
    e.value = 'A';
    e.delay_time = 60000;
    store.AddMacroEvent(e);
    MacroPlayer player(vhid, store);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        player.Stop();
    });
    player.PlayMacro(id);  // would take a minute without the stop
    stopper.join();
    SUCCEED();
}

} // namespace
