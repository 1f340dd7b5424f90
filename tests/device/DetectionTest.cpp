#include <gtest/gtest.h>

#include "SimRig.h"
#include "device/Detection.h"
#include "device/SimulatedDevice.h"
#include "devicedesc/ProductConfig.h"
#include "platform/TextCodec.h"

using namespace keystead::device;
using devtest::SimRig;
using platform::DeviceChange;

namespace {

// Records what the main window would show.
struct RecordingStatusView : DeviceStatusView {
    std::vector<std::string> calls;
    void ResetAllDeviceStates() override { calls.push_back("reset"); }
    void SetDeviceState(int type, int state) override
    {
        calls.push_back("device " + std::to_string(type) + "=" + std::to_string(state));
    }
    void CloseOwnPopups() override { calls.push_back("popups"); }
    void SetStatusText(int text) override { calls.push_back("text " + std::to_string(text)); }
    void ApplyConnectionMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); }
    void ShowDevicePages(bool show) override { calls.push_back(show ? "pages" : "home"); }
};

std::vector<DeviceEntry> TypicalModes()
{
    std::vector<DeviceEntry> modes;
    for (int mode = 0; mode <= 2; ++mode) {
        DeviceEntry e;
        e.name = L"Board";
        e.deviceType = 201;
        e.mode = mode;
        e.vendorId = 0x1209;
        e.productId = 0x4B01 + mode;
        e.hidInterface = L"VID_1209&PID_4B0" + std::to_wstring(mode + 1) + L"&MI_02";
        modes.push_back(e);
    }
    return modes;
}

using Calls = std::vector<std::string>;

} // namespace

TEST(Detection, ConnectionStates)
{
    struct Case {
        const char* name;
        std::vector<int> attached;
        bool withModeList;
        Calls calls;
        bool usable;
        std::vector<int> states;
    };
    const Case cases[] = {
        {"nothing plugged", {}, true, {"reset", "popups", "text 61", "home"}, false, {0, 0, 0}},
        {"cable", {0}, true, {"reset", "device 201=1", "popups", "text 60", "mode 0", "pages"}, true, {1, 0, 0}},
        {"cable and receiver", {0, 1}, true,
            {"reset", "device 201=1", "device 201=1", "popups", "text 60", "mode 0", "pages"}, true, {1, 1, 0}},
        {"receivers", {1, 2}, true,
            {"reset", "device 201=1", "device 201=1", "popups", "text 60", "mode 2", "pages"}, true, {0, 1, 1}},
        // Candidates of no listed identity: mode 0 still counts as connected, modes 1 and 2 do not.
        {"unlisted cable", {0}, false, {"reset", "popups", "text 60", "mode 0", "pages"}, true, {}},
        {"unlisted receiver", {1}, false, {"reset", "popups", "text 60", "mode 1", "text 61", "home"}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig;
        auto keyboard = rig.AddTypicalKeyboard();
        for (int mode : c.attached)
            keyboard->Attach(mode);
        std::vector<DeviceEntry> modes = c.withModeList ? TypicalModes() : std::vector<DeviceEntry>{};
        ConnectionFlags flags;
        RecordingStatusView view;
        DetectKeyboard(*rig.link, modes, flags, view);
        EXPECT_EQ(flags.candidatesPresent, !c.attached.empty());
        EXPECT_EQ(ApplyConnectionState(*rig.link, 201, flags, view), c.usable);
        EXPECT_EQ(view.calls, c.calls);
        std::vector<int> states;
        for (const DeviceEntry& m : modes)
            states.push_back(m.state);
        EXPECT_EQ(states, c.states);
    }
}

TEST(Detection, NextDetectionRecoversAfterUnplug)
{
    SimRig rig;
    auto keyboard = rig.AddTypicalKeyboard();
    keyboard->Attach(0);
    auto modes = TypicalModes();
    ConnectionFlags flags;
    RecordingStatusView view;
    DetectKeyboard(*rig.link, modes, flags, view);
    ASSERT_TRUE(ApplyConnectionState(*rig.link, 201, flags, view));
    keyboard->Detach(0);
    DetectKeyboard(*rig.link, modes, flags, view);
    EXPECT_FALSE(ApplyConnectionState(*rig.link, 201, flags, view));
    EXPECT_FALSE(flags.keyboardConnected);
    keyboard->Attach(0);
    DetectKeyboard(*rig.link, modes, flags, view);
    EXPECT_TRUE(ApplyConnectionState(*rig.link, 201, flags, view));
    EXPECT_TRUE(rig.link->IsUsable());
}

TEST(Detection, DeviceChangeNotifications)
{
    const std::string bluetooth = "HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&4B03&MI_02";
    struct Case {
        const char* name;
        DeviceChange change;
        std::string identity;
        std::vector<int> statesBefore;
        int task;
        DeviceEvent event;
        std::vector<int> statesAfter;
    };
    const Case cases[] = {
        {"arrival", DeviceChange::Arrival, "HID#VID_1209&PID_4B02&MI_02", {0, 0, 0}, 2, {1, 201}, {0, 0, 0}},
        {"arrival in lower case", DeviceChange::Arrival, "hid#vid_1209&pid_4b02&mi_02", {0, 0, 0}, 2, {1, 201}, {0, 0, 0}},
        {"arrival of another interface", DeviceChange::Arrival, "HID#VID_1209&PID_4B02&MI_00", {0, 0, 0}, 0, {}, {0, 0, 0}},
        {"bluetooth ignored", DeviceChange::Arrival, bluetooth, {0, 0, 0}, 0, {}, {0, 0, 0}},
        {"bluetooth removal ignored", DeviceChange::Removal, bluetooth, {1, 1, 1}, 0, {}, {1, 1, 1}},
        {"removal", DeviceChange::Removal, "HID#VID_1209&PID_4B02&MI_02", {1, 1, 0}, 3, {2, 1}, {1, 0, 0}},
        {"removal of an unconnected entry", DeviceChange::Removal, "HID#VID_1209&PID_4B02&MI_02", {1, 0, 0}, 0, {}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto modes = TypicalModes();
        modes[2].hidInterface = L"VID&021209_PID&4B03"; // the Bluetooth identity
        for (std::size_t i = 0; i < modes.size(); ++i)
            modes[i].state = c.statesBefore[i];
        DeviceEvent event;
        EXPECT_EQ(HandleDeviceChange(c.change, c.identity, modes, event), c.task);
        EXPECT_EQ(event.kind, c.event.kind);
        EXPECT_EQ(event.number, c.event.number);
        for (std::size_t i = 0; i < modes.size(); ++i)
            EXPECT_EQ(modes[i].state, c.statesAfter[i]);
    }
    // Patterns written in lower case never match: identities are upper case.
    auto modes = TypicalModes();
    modes[1].hidInterface = L"vid_1209&pid_4b02&mi_02";
    DeviceEvent event;
    EXPECT_EQ(HandleDeviceChange(DeviceChange::Arrival, "HID#VID_1209&PID_4B02&MI_02", modes, event), 0);
}

TEST(Detection, WatcherHearsPlugAndUnplug)
{
    SimRig rig;
    auto keyboard = rig.AddTypicalKeyboard();
    auto watcher = rig.link->MakeWatcher();
    std::vector<std::string> heard;
    ASSERT_TRUE(watcher->Start([&](DeviceChange change, const std::string& identity) {
        heard.push_back((change == DeviceChange::Arrival ? "+" : "-") + identity);
    }));
    keyboard->Attach(1);
    keyboard->Detach(1);
    watcher->Stop();
    keyboard->Attach(1);
    EXPECT_EQ(heard, std::vector<std::string>({"+HID#VID_1209&PID_4B02&MI_00", "+HID#VID_1209&PID_4B02&MI_02",
        "+HID#VID_1209&PID_4B02&MI_03", "-HID#VID_1209&PID_4B02&MI_00", "-HID#VID_1209&PID_4B02&MI_02",
        "-HID#VID_1209&PID_4B02&MI_03"}));
}

TEST(Detection, IdentityFromSysPath)
{
    struct Case {
        const char* devpath;
        const char* identity; // null: none
    };
    const Case cases[] = {
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.3/0003:1209:4B01.0005/hidraw/hidraw3", "HID#VID_1209&PID_4B01&MI_03"},
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2.4/1-2.4:1.0/0003:046D:C52B.0001/hidraw/hidraw0", "HID#VID_046D&PID_C52B&MI_00"},
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-9/1-9:1.12/0003:1209:4B01.000A/hidraw/hidraw9", "HID#VID_1209&PID_4B01&MI_0C"},
        {"/devices/virtual/misc/uhid/0005:1209:4B03.0007/hidraw/hidraw5",
            "HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&4B03"},
        {"/devices/platform/i2c/0018:06CB:7E7E.0002/hidraw/hidraw1", "HID#VID_06CB&PID_7E7E"},
        {"/devices/virtual/misc/uhid/hidraw/hidraw5", nullptr},
        {"/devices/x/0003:12G9:4B01.0005/hidraw/hidraw3", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.devpath);
        const auto identity = platform::IdentityFromSysPath(c.devpath);
        EXPECT_EQ(identity.value_or("none"), c.identity ? c.identity : "none");
    }
}

TEST(Detection, SimulationRequest)
{
    struct Case {
        const char* device;
        bool simulated;
        int type;
        int mode;
    };
    const Case cases[] = {
        {"simulated", true, 201, 0}, {"simulated:100:1", true, 100, 1}, {"simulated:201:2", true, 201, 2},
        {"", false, 0, 0}, {"hidraw", false, 0, 0}, {"simulated:100", false, 0, 0}, {"simulated:x:1", false, 0, 0},
        {"simulatedX", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        const auto request = ParseSimulationRequest(c.device, "");
        ASSERT_EQ(request.has_value(), c.simulated);
        if (request) {
            EXPECT_EQ(request->deviceType, c.type);
            EXPECT_EQ(request->mode, c.mode);
        }
    }
}

TEST(Detection, SimulatedInterfacesFollowTheRegistrations)
{
    const std::vector<RegisteredInterface> registered = {
        {0x1209, 0x4B01, L"Board", 100, 0, L"VID_1209&PID_4B01&MI_01"},
        {0x1209, 0x4B02, L"", 100, 2, L"{00001812-0000-1000-8000-00805F9B34FB}"},
        {0x1209, 0x5B01, L"Other", 201, 0, L"&MI_02"},
    };
    std::vector<std::string> identities;
    for (const auto& i : SimulatedInterfacesFor(registered, 100))
        identities.push_back(std::to_string(i.connection) + " " + i.Identity() + " " + std::to_string(i.usagePage));
    EXPECT_EQ(identities, std::vector<std::string>({"0 HID#VID_1209&PID_4B01&MI_01 65281", "0 HID#VID_1209&PID_4B01&MI_00 1",
        "0 HID#VID_1209&PID_4B01&MI_03 65281", "2 HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&4B02 65281"}));
    const auto familyB = SimulatedInterfacesFor(registered, 201);
    ASSERT_EQ(familyB.size(), 2u) << "no stream interface below family A";
    EXPECT_EQ(familyB[0].Identity(), "HID#VID_1209&PID_5B01&MI_02");
}

TEST(Detection, ConfiguredSimulationDetectsTheRequestedMode)
{
    platform::ManualClock clock;
    auto owned = std::make_unique<ConfiguredSimulationBackend>(SimulationRequest{201, 1, ""}, clock);
    ConfiguredSimulationBackend* backend = owned.get();
    DeviceLink link(std::move(owned), clock);
    backend->SetRegistrationSource([&] { return link.RegisteredInterfaces(); });
    link.RegisterInterface(0x1209, 0x4B01, L"Board", 201, 0, L"VID_1209&PID_4B01&MI_02");
    link.RegisterInterface(0x1209, 0x4B02, L"Board", 201, 1, L"VID_1209&PID_4B02&MI_02");
    auto modes = TypicalModes();
    modes.pop_back();
    ConnectionFlags flags;
    RecordingStatusView view;
    DetectKeyboard(link, modes, flags, view);
    EXPECT_TRUE(ApplyConnectionState(link, 201, flags, view));
    EXPECT_EQ(flags.connectionMode, 1);
    ASSERT_TRUE(backend->Keyboard());
    EXPECT_TRUE(backend->Keyboard()->IsAttached(1));
    EXPECT_FALSE(backend->Keyboard()->IsAttached(0));
}

// The shipped product configuration, read by the program's own reader into the link, and the
// simulated keyboard the program would drive for each of its models and connections.
TEST(Detection, ShippedConfigurationWithTheSimulatedKeyboard)
{
    struct Case {
        const char* device;
        int deviceType;
        int connectionMode;
        const char* identity;
        bool stream;
    };
    const Case cases[] = {
        {"simulated", 201, 0, "HID#VID_1209&PID_4B01&MI_02", false},
        {"simulated:201:1", 201, 1, "HID#VID_1209&PID_4B02&MI_02", false},
        {"simulated:201:2", 201, 2, "HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&4B03", false},
        {"simulated:101:0", 101, 0, "HID#VID_1209&PID_4B10&MI_02", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        platform::ManualClock clock;
        auto owned = std::make_unique<ConfiguredSimulationBackend>(*ParseSimulationRequest(c.device, ""), clock);
        ConfiguredSimulationBackend* backend = owned.get();
        DeviceLink link(std::move(owned), clock);
        backend->SetRegistrationSource([&] { return link.RegisteredInterfaces(); });
        ProductConfig config;
        ProductConfigTargets targets;
        targets.deviceTable = &link;
        ASSERT_TRUE(LoadProductConfig(platform::FromUtf8(KEYSTEAD_PROGRAM_DIR "/config.xml"), config, targets));

        ConnectionFlags flags;
        RecordingStatusView view;
        DetectKeyboard(link, config.modes, flags, view);
        EXPECT_TRUE(ApplyConnectionState(link, c.deviceType, flags, view));
        EXPECT_EQ(flags.connectionMode, c.connectionMode);
        ASSERT_TRUE(link.ActiveInterface());
        EXPECT_EQ(link.ActiveInterface()->identity, c.identity);
        EXPECT_EQ(link.StreamInterface().has_value(), c.stream);
        int connected = 0;
        for (const DeviceEntry& e : config.modes)
            connected += e.state;
        EXPECT_EQ(connected, 1);
    }
}
