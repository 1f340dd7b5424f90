#include <gtest/gtest.h>

#include <fstream>

#include "Bytes.h"
#include "SimRig.h"
#include "device/FeatureCommands.h"
#include "device/OutputCommands.h"

using namespace keystead::device;
using devtest::SimRig;
using devtest::Vendor;

TEST(DeviceLink, EnumerateKeepsVendorInterfacesAndTheStream)
{
    SimRig rig;
    auto closed = Vendor(0, 0x4B01, 4);
    closed.openable = false;
    rig.AddKeyboard({devtest::Boot(0, 0x4B01), Vendor(0, 0x4B01, 2), Vendor(0, 0x4B01, 3), closed,
        Vendor(0, 0x9999, 2) /* not registered */});
    rig.link->RegisterInterface(0x1209, 0x4B01, L"", 100, 0, L"&MI_02");
    rig.backend->Keyboards()[0]->Attach(0);
    rig.Open(100);

    std::vector<CandidateInfo> candidates;
    ASSERT_TRUE(rig.link->GetCandidates(candidates));
    ASSERT_EQ(candidates.size(), 1u);
    EXPECT_EQ(candidates[0].identity, "HID#VID_1209&PID_4B01&MI_02");
    EXPECT_EQ(candidates[0].deviceType, 100);
    EXPECT_TRUE(candidates[0].preferred);
    ASSERT_TRUE(rig.link->StreamInterface());
    EXPECT_EQ(rig.link->StreamInterface()->identity, "HID#VID_1209&PID_4B01&MI_03");

    rig.link->CloseAll();
    EXPECT_FALSE(rig.link->IsOpen());
    EXPECT_FALSE(rig.link->GetCandidates(candidates));
    EXPECT_FALSE(rig.link->StreamInterface());
}

TEST(DeviceLink, ModePreference)
{
    struct Case {
        std::vector<int> attached;
        int connectionMode;
        int activeMode; // -1: none
    };
    const Case cases[] = {
        {{1, 0}, 0, 0}, {{1, 2}, 2, 1}, {{2}, 2, 2}, {{1}, 1, 1}, {{0, 1, 2}, 0, 0}, {{}, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.attached));
        SimRig rig;
        auto keyboard = rig.AddTypicalKeyboard();
        for (int mode : c.attached)
            keyboard->Attach(mode);
        rig.Open();
        EXPECT_EQ(rig.link->ConnectionMode(), c.connectionMode);
        const auto active = rig.link->ActiveInterface();
        EXPECT_EQ(active ? active->mode : -1, c.activeMode);
    }
}

TEST(DeviceLink, SelectedTypeFiltersCandidates)
{
    SimRig rig;
    rig.AddKeyboard({Vendor(0, 0x4B01, 2), Vendor(0, 0x5B01, 2)})->Attach(0);
    rig.link->RegisterInterface(0x1209, 0x4B01, L"", 201, 1, L"");
    rig.link->RegisterInterface(0x1209, 0x5B01, L"", 100, 0, L"");
    rig.Open(201);
    EXPECT_EQ(rig.link->ConnectionMode(), 1);
    EXPECT_EQ(rig.link->ActiveInterface()->productId, 0x4B01);
    std::vector<CandidateInfo> candidates;
    ASSERT_TRUE(rig.link->GetCandidates(candidates));
    EXPECT_EQ(candidates.size(), 1u);
    rig.link->SelectDeviceType(0);
    ASSERT_TRUE(rig.link->GetCandidates(candidates));
    EXPECT_EQ(candidates.size(), 2u);
    rig.link->SelectDeviceType(300);
    EXPECT_EQ(rig.link->ConnectionMode(), -1);
    EXPECT_FALSE(rig.link->ActiveInterface());
    EXPECT_TRUE(rig.link->GetCandidates(candidates)) << "there are candidates, only none of this type";
    EXPECT_TRUE(candidates.empty());
}

TEST(DeviceLink, ProductStringTellsProductsApart)
{
    struct Case {
        std::wstring registered;
        std::wstring reported;
        bool candidate;
    };
    const Case cases[] = {{L"Alpha", L"Alpha", true}, {L"Alpha", L"Beta", false}, {L"", L"Beta", true}};
    for (const Case& c : cases) {
        SimRig rig;
        rig.AddKeyboard({Vendor(0, 0x4B01, 2, c.reported)})->Attach(0);
        rig.link->RegisterInterface(0x1209, 0x4B01, c.registered, 201, 0, L"");
        rig.Open();
        EXPECT_EQ(rig.link->FindCandidate(0x1209, 0x4B01, c.registered, 0) >= 0, c.candidate);
    }
    SimRig rig;
    rig.AddKeyboard({Vendor(0, 0x4B01, 2, L"Alpha")})->Attach(0);
    rig.link->RegisterInterface(0x1209, 0x4B01, L"", 201, 0, L"");
    rig.Open();
    EXPECT_EQ(rig.link->FindCandidate(0x1209, 0x4B01, L"", 0), 0);
    EXPECT_EQ(rig.link->FindCandidate(0x1209, 0x4B01, L"Beta", 0), -1);
    EXPECT_EQ(rig.link->FindCandidate(0x1209, 0x4B01, L"Alpha", 1), -1);
}

TEST(DeviceLink, NoHidAccessMeansNoCandidates)
{
    SimRig rig;
    rig.AddTypicalKeyboard()->Attach(0);
    rig.backend->SetAvailable(false);
    rig.Open();
    std::vector<CandidateInfo> candidates;
    EXPECT_FALSE(rig.link->GetCandidates(candidates));
    EXPECT_FALSE(rig.link->WriteReport(BuildStreamStart()));
}

namespace {

struct TransportRig : SimRig {
    std::shared_ptr<platform::SimulatedKeyboard> keyboard;
    TransportRig()
    {
        keyboard = AddTypicalKeyboard(100);
        keyboard->Attach(0);
        Open(100);
        clock.ClearPauses();
    }
    std::vector<std::string> Received() const
    {
        std::vector<std::string> out;
        for (const auto& r : keyboard->Log())
            out.push_back(std::string(1, r.kind) + " " + devtest::Significant(r.bytes));
        return out;
    }
};

using Strings = std::vector<std::string>;
using Pauses = std::vector<int>;

} // namespace

TEST(Transport, FeatureReports)
{
    TransportRig rig;
    EXPECT_FALSE(rig.link->SendFeature(BuildFunctionSlot(2, 0x3A, 1))) << "always false";
    EXPECT_TRUE(rig.link->SendFeatureNow(BuildFunctionSlot(1, 0x3B, 1)));
    EXPECT_EQ(rig.clock.Pauses(), Pauses({16}));
    EXPECT_EQ(rig.Received(), Strings({"F 07 FA 01 02 3A 01 01 01", "F 07 FA 01 01 3B 01 01 01"}));
}

TEST(Transport, ReadSlotTable)
{
    TransportRig rig;
    ASSERT_TRUE(rig.link->SendFeatureNow(BuildFunctionSlot(1, 0x3A, 1)));
    ASSERT_TRUE(rig.link->SendFeatureNow(BuildFunctionSlot(10, 0x3B, 1)));
    rig.keyboard->ClearLog();
    SlotTable table{};
    EXPECT_TRUE(rig.link->ReadSlotTable(table));
    EXPECT_EQ(rig.clock.Pauses(), Pauses({16, 16, 16, 16}));
    EXPECT_EQ(rig.Received(),
        Strings({"F 07 FB 01", "G 07 FB 01", "G 07 FB 01", "G 07 FB 01", "G 07 FB 01"}));
    EXPECT_EQ(FunctionSlotKey(table, 1), 0x3A);
    EXPECT_EQ(FunctionSlotKey(table, 10), 0x3B);
    EXPECT_EQ(MacroSlotKey(table, 1), 0);

    // A failing get leaves its seven bytes; a short reply gives only what it holds.
    SlotTable kept{};
    kept.fill(0xEE);
    int gets = 0;
    rig.keyboard->SetFault([&](char kind, std::span<const std::uint8_t>) { return kind == 'G' && ++gets == 3; });
    rig.keyboard->SetReplyLength(4);
    EXPECT_TRUE(rig.link->ReadSlotTable(kept));
    EXPECT_EQ(devtest::ToHex(kept), "00 00 00 EE EE EE EE 00 00 00 EE EE EE EE EE EE EE EE EE EE EE 3A 00 00 EE EE EE EE");
}

TEST(Transport, ReadFirmwareVersion)
{
    struct Case {
        const char* name;
        std::function<void(platform::SimulatedKeyboard&)> arrange;
        bool result;
        int version;
        Pauses pauses;
    };
    const Case cases[] = {
        {"plain", [](auto&) {}, true, 0x0105, {16, 16}},
        {"reply without report id gets a second get",
            [](auto& k) { k.CorruptNextFirmwareReply(); }, true, 0x0105, {16, 16, 16}},
        {"failed set", [](auto& k) { k.SetFault([](char kind, auto) { return kind == 'F'; }); }, false, -1, {16}},
        {"failed get", [](auto& k) { k.SetFault([](char kind, auto) { return kind == 'G'; }); }, true, -1, {16, 16}},
        {"short reply", [](auto& k) { k.SetReplyLength(2); }, true, -1, {16, 16}},
        {"other version", [](auto& k) { k.SetFirmwareVersion(0x0210); }, true, 0x0210, {16, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransportRig rig;
        c.arrange(*rig.keyboard);
        int version = -1;
        EXPECT_EQ(rig.link->ReadFirmwareVersion(version), c.result);
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(rig.clock.Pauses(), c.pauses);
    }
}

TEST(Transport, WritesRetryOnce)
{
    struct Case {
        const char* name;
        int failures; // writes that fail before one succeeds
        std::function<bool(DeviceLink&)> write;
        bool result;
        Pauses pauses;
    };
    const auto report = [](DeviceLink& l) { return l.WriteReport(BuildLightingModeOutput(3)); };
    const auto framed = [](DeviceLink& l) { return l.WriteFramedReport(BuildFramedResetPart1()); };
    const auto stream = [](DeviceLink& l) { return l.WriteStreamReport(BuildStreamStart()); };
    const Case cases[] = {
        {"report", 0, report, true, {}}, {"report retried", 1, report, true, {10}}, {"report failed", 2, report, false, {10}},
        {"framed", 0, framed, true, {}}, {"framed retried", 1, framed, true, {32}}, {"framed failed", 2, framed, false, {32}},
        {"stream failed twice is still success", 2, stream, true, {10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransportRig rig;
        int failures = c.failures;
        rig.keyboard->SetFault([&](char, auto) { return failures-- > 0; });
        EXPECT_EQ(c.write(*rig.link), c.result);
        EXPECT_EQ(rig.clock.Pauses(), c.pauses);
    }
}

TEST(Transport, RoutesReportsToTheirInterfaces)
{
    TransportRig rig;
    ASSERT_TRUE(rig.link->WriteReport(BuildLightingModeOutput(3)));
    ASSERT_TRUE(rig.link->WriteStreamReport(BuildStreamStart()));
    ASSERT_TRUE(rig.link->WriteFramedReport(BuildFramedResetPart2()));
    const auto log = rig.keyboard->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].identity, "HID#VID_1209&PID_4B01&MI_02");
    EXPECT_EQ(log[1].identity, "HID#VID_1209&PID_4B01&MI_03");
    EXPECT_EQ(devtest::Significant(log[2].bytes), "00 BB AA 99 88");
    EXPECT_EQ(log[2].bytes.size(), 65u);
}

TEST(Transport, NothingGoesOutWithoutAnInterface)
{
    const auto tryAll = [](DeviceLink& link) {
        SlotTable table{};
        int version = -1;
        return std::vector<bool>{link.SendFeature(BuildReadFirmware()), link.SendFeatureNow(BuildReadFirmware()),
            link.ReadSlotTable(table), link.ReadFirmwareVersion(version), link.WriteReport(BuildStreamStart()),
            link.WriteStreamReport(BuildStreamStart()), link.WriteFramedReport(BuildFramedResetPart2())};
    };
    {
        TransportRig rig; // closed link
        rig.link->CloseAll();
        EXPECT_EQ(tryAll(*rig.link), std::vector<bool>(7, false));
        EXPECT_TRUE(rig.clock.Pauses().empty());
        EXPECT_TRUE(rig.keyboard->Log().empty());
    }
    {
        TransportRig rig; // keyboard unplugged after detection: every primitive fails at once
        rig.keyboard->DetachAll();
        const auto results = tryAll(*rig.link);
        EXPECT_EQ(results, std::vector<bool>({false, false, false, false, false, true, false}));
        EXPECT_TRUE(rig.clock.Pauses().empty());
        EXPECT_FALSE(rig.link->IsUsable());
    }
}

TEST(Transport, LogFileLines)
{
    const std::string path = testing::TempDir() + "/device-log.txt";
    std::remove(path.c_str());
    TransportRig rig;
    ASSERT_TRUE(rig.keyboard->OpenLogFile(path));
    rig.link->SendFeature(BuildReadFirmware());
    ASSERT_TRUE(rig.link->WriteReport(BuildLightingModeOutput(3)));
    std::ifstream in(path);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "16000 F HID#VID_1209&PID_4B01&MI_02 07fd000000000000");
    EXPECT_EQ(second, "16000 O HID#VID_1209&PID_4B01&MI_02 0088000300" + std::string(120, '0'));
}

TEST(DeviceLink, HidrawBackendOnThisMachine)
{
    // Whatever HID devices this machine has (often none): enumeration and a bad path fail
    // quietly, and every listed interface carries an identity in the canonical form.
    auto backend = platform::MakeHidapiBackend();
    for (const auto& info : backend->Enumerate())
        EXPECT_EQ(info.identity.rfind("HID#", 0), 0u) << info.path;
    EXPECT_EQ(backend->Open("/nonexistent/hidraw99"), nullptr);
    DeviceLink link(platform::MakeHidapiBackend(), platform::SystemClock());
    link.RegisterInterface(0x1209, 0x4B01, L"", 201, 0, L"");
    link.Enumerate();
    EXPECT_TRUE(link.IsOpen());
}
