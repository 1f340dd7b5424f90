#pragma once
#include <string>
#include <vector>

#include "SimRig.h"
#include "device/Worker.h"
#include "store/DataStore.h"

// The whole device stack on a simulated keyboard: store, link, worker and a recording main
// window, all on one manual clock.
namespace devtest {

struct RecordingHost : keystead::device::WorkerHost {
    std::vector<std::string> calls;
    int profile = 1;
    int layer = 0;
    int deviceType = 201;
    keystead::device::KeyIndexMap positions;
    unsigned pageFlags = 0x07;
    bool visible = true;
    int tab = 0;
    int lightMode = 0;
    int lightFunc = 0;
    int lightOption = 0;
    std::vector<keystead::device::KeyColour> picture;

    void Record(std::string call) { calls.push_back(std::move(call)); }
    void ResetAllDeviceStates() override { Record("reset states"); }
    void SetDeviceState(int type, int state) override
    {
        Record("device " + std::to_string(type) + "=" + std::to_string(state));
    }
    void CloseOwnPopups() override { Record("popups"); }
    void SetStatusText(int text) override { Record("text " + std::to_string(text)); }
    void ApplyConnectionMode(int mode) override { Record("mode " + std::to_string(mode)); }
    void ShowDevicePages(bool show) override { Record(show ? "pages" : "home"); }
    int CurrentProfileId() override { return profile; }
    int CurrentLayer() override { return layer; }
    int CurrentDeviceType() override { return deviceType; }
    keystead::device::KeyIndexMap KeyPositions() override { return positions; }
    unsigned PageFlags() override { return pageFlags; }
    void EnableMainWindow(bool enable) override { Record(enable ? "enable" : "disable"); }
    void CloseWaitDialog() override { Record("close wait"); }
    void ReloadMacroList() override { Record("macros"); }
    void ReloadProfileList() override { Record("profiles"); }
    void RefreshKeyTable() override { Record("key table"); }
    void ReloadLightingPage() override { Record("lighting"); }
    void StartMusicAnalyser() override { Record("analyser"); }
    bool IsMainWindowVisible() override { return visible; }
    int CurrentTabIndex() override { return tab; }
    int CurrentLightMode() override { return lightMode; }
    int CurrentLightConfigFunc() override { return lightFunc; }
    int CurrentLightOption() override { return lightOption; }
    std::vector<keystead::device::KeyColour> PictureKeyColours() override { return picture; }
};

struct StackRig : SimRig {
    DataStore store;
    keystead::device::WorkerQueues queues;
    RecordingHost host;
    keystead::device::DeviceWorker worker{queues, *link, store, host, clock};
    std::shared_ptr<platform::SimulatedKeyboard> keyboard;

    // A keyboard of the given type, plugged in with `mode`, detected by task 1.
    explicit StackRig(int deviceType = 201, int mode = 0, bool detect = true)
    {
        store.OpenDatabaseFile(L":memory:");
        host.deviceType = deviceType;
        // Usages 4 (A) to 29 (Z) sit at positions 0 to 25; the space bar (0x2C) at 109.
        for (int code = 4; code <= 29; ++code)
            host.positions[code] = code - 4;
        host.positions[0x2C] = 109;
        keyboard = AddTypicalKeyboard(deviceType);
        std::vector<DeviceEntry> modes;
        for (const auto& r : link->RegisteredInterfaces()) {
            DeviceEntry e;
            e.name = r.productName;
            e.deviceType = r.deviceType;
            e.mode = r.mode;
            e.vendorId = r.vendorId;
            e.productId = r.productId;
            e.hidInterface = r.interfacePattern;
            modes.push_back(e);
        }
        worker.SetModeList(modes);
        keyboard->Attach(mode);
        if (detect) {
            queues.PushTask(keystead::device::Task::FirstDetection);
            worker.Cycle();
            RunQueued();
        }
        Reset();
    }

    // Runs cycles until the task queue is empty.
    void RunQueued(int limit = 50)
    {
        while (!queues.TaskQueueEmpty() && limit-- > 0)
            worker.Cycle();
    }

    // Forget what detection left in the logs.
    void Reset()
    {
        keyboard->ClearLog();
        clock.ClearPauses();
        host.calls.clear();
    }

    // Runs one task through the worker.
    void Run(int task)
    {
        queues.PushTask(task);
        worker.Cycle();
    }

    std::vector<std::string> Reports() const
    {
        std::vector<std::string> out;
        for (const auto& r : keyboard->Log())
            out.push_back(std::string(1, r.kind) + " " + Significant(r.bytes));
        return out;
    }

    int AddMacro(const std::wstring& name, int playTimes, const std::vector<std::pair<int, int>>& vkAndDelay)
    {
        MacroData m;
        m.name = name;
        m.play_times = playTimes;
        m.delay_type = 1;
        const int id = store.AddMacroWithSettings(m);
        std::vector<MacroRecordData> events;
        int index = 0;
        for (const auto& [vk, delay] : vkAndDelay) {
            for (int type : {2, 3}) {
                MacroRecordData e;
                e.macro_id = id;
                e.type = type;
                e.record_index = index++;
                e.value = vk;
                e.delay_time = delay;
                events.push_back(e);
            }
        }
        store.SaveMacroEvents(events);
        return id;
    }

    void Assign(int keyCode, int kind, int value)
    {
        KeyMacroData k;
        k.profile = host.profile;
        k.fn_layer = host.layer;
        k.key_code = keyCode;
        k.macro_type = kind;
        k.macro_value = value;
        store.SaveKeyAssignment(k);
    }

    void AddLight(int mode, int brightness, int speed, int direction, int colorful, int colorIndex, int colour,
        int configFunc = 0)
    {
        LightData l;
        l.profile = 1;
        l.name = L"1";
        l.mode = mode;
        l.brightness = brightness;
        l.speed = speed;
        l.direction = direction;
        l.colorful = colorful;
        l.colorindex = colorIndex;
        l.color_value = colour;
        l.config_func = configFunc;
        store.AddLight(l);
        store.SetActiveLight(1, mode);
    }
};

} // namespace devtest
