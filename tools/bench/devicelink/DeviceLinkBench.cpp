// Colour-stream rate and family-B slot upload time against the simulated keyboard, with the
// protocol's pauses honoured (real sleeps). Prints "<figure>: <value> <unit>" lines.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "device/DeviceLink.h"
#include "device/Uploads.h"
#include "device/Worker.h"
#include "keys/KeyFunction.h"
#include "platform/SimulatedHid.h"
#include "store/DataStore.h"

using namespace keystead::device;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Rig {
    platform::SimulatedHidBackend* backend = nullptr;
    std::unique_ptr<DeviceLink> link;
    std::shared_ptr<platform::SimulatedKeyboard> keyboard;

    Rig(int deviceType, platform::Clock& clock)
    {
        auto owned = std::make_unique<platform::SimulatedHidBackend>();
        backend = owned.get();
        link = std::make_unique<DeviceLink>(std::move(owned), clock);
        std::vector<platform::SimulatedInterface> interfaces;
        for (int mi : {2, 3}) {
            platform::SimulatedInterface i;
            i.vendorId = 0x1209;
            i.productId = 0x4B01;
            i.productString = L"Bench";
            i.interfaceNumber = mi;
            interfaces.push_back(i);
        }
        keyboard = std::make_shared<platform::SimulatedKeyboard>(interfaces, clock);
        keyboard->Attach(0);
        backend->AddKeyboard(keyboard);
        link->RegisterInterface(0x1209, 0x4B01, L"Bench", deviceType, 0, L"VID_1209&PID_4B01&MI_02");
        link->Enumerate();
        link->SelectDeviceType(deviceType);
    }
};

KeyIndexMap Positions()
{
    KeyIndexMap positions;
    for (int i = 0; i < kKeyPositions; ++i)
        positions[4 + i] = i;
    return positions;
}

std::vector<KeyColour> Picture()
{
    std::vector<KeyColour> colours;
    for (int i = 0; i < kKeyPositions; ++i)
        colours.push_back({4 + i, static_cast<std::uint32_t>(0x010203 * (i + 1))});
    return colours;
}

// The lighting page showing the music effect: the idle worker streams every cycle.
struct StreamingHost : WorkerHost {
    void ResetAllDeviceStates() override {}
    void SetDeviceState(int, int) override {}
    void CloseOwnPopups() override {}
    void SetStatusText(int) override {}
    void ApplyConnectionMode(int) override {}
    void ShowDevicePages(bool) override {}
    int CurrentProfileId() override { return 1; }
    int CurrentLayer() override { return 0; }
    int CurrentDeviceType() override { return 100; }
    KeyIndexMap KeyPositions() override { return Positions(); }
    unsigned PageFlags() override { return 0x07; }
    void EnableMainWindow(bool) override {}
    void CloseWaitDialog() override {}
    void ReloadMacroList() override {}
    void ReloadProfileList() override {}
    void RefreshKeyTable() override {}
    void ReloadLightingPage() override {}
    void StartMusicAnalyser() override {}
    bool IsMainWindowVisible() override { return true; }
    int CurrentTabIndex() override { return kLightingTabIndex; }
    int CurrentLightMode() override { return 0; }
    int CurrentLightConfigFunc() override { return kConfigFuncMusic; }
    int CurrentLightOption() override { return 0; }
    std::vector<KeyColour> PictureKeyColours() override { return Picture(); }
};

void StreamThroughWorker(double seconds)
{
    Rig rig(100, platform::SystemClock());
    DataStore store;
    store.OpenDatabaseFile(L":memory:");
    WorkerQueues queues;
    StreamingHost host;
    DeviceWorker worker(queues, *rig.link, store, host);
    queues.PushTask(Task::DetectAfterArrival);
    std::vector<DeviceEntry> modes(1);
    modes[0].name = L"Bench";
    modes[0].deviceType = 100;
    modes[0].vendorId = 0x1209;
    modes[0].productId = 0x4B01;
    worker.SetModeList(modes);

    const double cpu0 = CpuSeconds();
    const double wall0 = WallSeconds();
    worker.Start();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    worker.Stop();
    const double wall = WallSeconds() - wall0;
    const double cpu = CpuSeconds() - cpu0;
    const int frames = rig.keyboard->State().streamFrames;
    std::printf("colour_stream_worker_rate: %.1f fps\n", frames / wall);
    std::printf("colour_stream_worker_cpu_per_frame: %.1f us\n", frames ? cpu / frames * 1e6 : 0.0);
}

void StreamBackToBack(double seconds)
{
    Rig rig(100, platform::SystemClock());
    UploadSession s;
    s.deviceType = 100;
    s.keyPositions = Positions();
    const std::vector<KeyColour> picture = Picture();
    const double cpu0 = CpuSeconds();
    const double wall0 = WallSeconds();
    int frames = 0;
    while (WallSeconds() - wall0 < seconds) {
        StreamColours(*rig.link, s, picture);
        ++frames;
    }
    const double wall = WallSeconds() - wall0;
    const double cpu = CpuSeconds() - cpu0;
    std::printf("colour_stream_raw_rate: %.1f fps\n", frames / wall);
    std::printf("colour_stream_raw_cpu_per_frame: %.1f us\n", cpu / frames * 1e6);
}

// 13 macro keys and 10 function keys fill every slot of a family-B keyboard.
void FillLayer(DataStore& store)
{
    for (int key = 0; key < 23; ++key) {
        KeyMacroData k;
        k.profile = 1;
        k.key_code = 4 + key;
        if (key < 13) {
            const int macro = store.AddMacro(L"M" + std::to_wstring(key));
            std::vector<MacroRecordData> events;
            for (int e = 0; e < 10; ++e)
                events.push_back({0, macro, 2 + e % 2, e, 65 + e / 2, 50, L""});
            store.SaveMacroEvents(events);
            k.macro_type = KeyKind::Macro;
            k.macro_value = macro;
        } else {
            k.macro_type = KeyKind::Key;
            k.macro_value = 0x29;
        }
        store.SaveKeyAssignment(k);
    }
}

void SlotUpload()
{
    DataStore store;
    store.OpenDatabaseFile(L":memory:");
    FillLayer(store);
    UploadSession s;
    s.deviceType = 201;

    platform::ManualClock manual;
    Rig paced(201, manual);
    UploadKeySlots(*paced.link, store, s);
    std::printf("slot_upload_23_keys_protocol_pauses: %.3f s\n", manual.NowMicros() / 1e6);

    Rig rig(201, platform::SystemClock());
    double wall0 = WallSeconds();
    UploadKeySlots(*rig.link, store, s);
    std::printf("slot_upload_23_keys_first: %.3f s\n", WallSeconds() - wall0);
    wall0 = WallSeconds();
    UploadKeySlots(*rig.link, store, s); // every slot is occupied now and freed first
    std::printf("slot_upload_23_keys_replacing: %.3f s\n", WallSeconds() - wall0);
}

} // namespace

int main()
{
    StreamThroughWorker(3.0);
    StreamBackToBack(2.0);
    SlotUpload();
    return 0;
}
