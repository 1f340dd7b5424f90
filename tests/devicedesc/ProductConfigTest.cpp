#include "devicedesc/ProductConfig.h"

#include "platform/TextCodec.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Records every hand-over of a product configuration load as one line of text.
class RecordingTargets : public DeviceListTarget,
                         public SupportedDeviceTable,
                         public FooterTextTarget,
                         public ProductConfigHooks {
public:
    std::vector<std::string> calls;

    void AddDevice(const std::wstring& name, int vid, int pid, int type, bool connected) override
    {
        calls.push_back("AddDevice " + U8(name) + " " + std::to_string(vid) + " " + std::to_string(pid) + " " +
                        std::to_string(type) + " " + (connected ? "true" : "false"));
    }
    void RegisterIdentity(int vid, int pid, const std::wstring& product, int type, int mode,
                          const std::wstring& hid) override
    {
        calls.push_back("Register " + Hex(vid) + " " + Hex(pid) + " " + U8(product) + " " + std::to_string(type) + " " +
                        std::to_string(mode) + " " + U8(hid));
    }
    void SetFooterText(int id, const std::wstring& text) override
    {
        calls.push_back("Footer " + std::to_string(id) + " " + U8(text));
    }
    void LoadDefaultModel(int type) override { calls.push_back("LoadDefaultModel " + std::to_string(type)); }
    void RegisterDeviceNotifications() override { calls.push_back("RegisterDeviceNotifications"); }

    ProductConfigTargets Targets() { return {this, this, this, this}; }

private:
    static std::string U8(const std::wstring& s) { return platform::ToUtf8(s); }
    static std::string Hex(int v)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%04X", v);
        return text;
    }
};

const std::vector<std::string> kEnd = {"LoadDefaultModel 201", "RegisterDeviceNotifications"};

std::vector<std::string> With(std::vector<std::string> calls)
{
    calls.insert(calls.end(), kEnd.begin(), kEnd.end());
    return calls;
}
} // namespace

TEST(ProductConfig, ReadsModelsIdentitiesAndSoftwareInFileOrder)
{
    const char* text = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <device.info>
    <keyboard name="Vela K2 Wireless" device_type="201" device_info="vela_k2">
      <mode value="0" desc="USB" vid="1209" pid="4B02" product_name="Vela K2" hid_interface="HID#VID_1209&amp;PID_4B02&amp;MI_02"/>
      <mode value="1" desc="2.4G" vid="0x1209" pid="0x4B03" product_name="Vela K2 Dongle" hid_interface="HID#VID_1209&amp;PID_4B03&amp;MI_01"/>
    </keyboard>
    <keyboard name="Vela K1" device_type="101" device_info="vela_k1">
      <mode value="0" desc="USB" vid="1209" pid="4B01" product_name="Vela K1" hid_interface="HID#VID_1209&amp;PID_4B01&amp;MI_03"/>
    </keyboard>
  </device.info>
  <software name="Vela" version="2.1.0">
    <website url="https://vela.example"/>
    <store url="https://vela.example/store"/>
    <upgrade url="https://vela.example/update/"/>
    <copyright info="(c) Vela"/>
  </software>
</config>)";
    RecordingTargets targets;
    ProductConfig config;
    config.keyboards.resize(3); // a reload starts from empty lists
    ASSERT_TRUE(LoadProductConfigText(text, config, targets.Targets()));
    EXPECT_EQ(targets.calls, With({
                                 "AddDevice Vela K2 Wireless 0 0 201 false",
                                 "Register 1209 4B02 Vela K2 201 0 HID#VID_1209&PID_4B02&MI_02",
                                 "Register 1209 4B03 Vela K2 Dongle 201 1 HID#VID_1209&PID_4B03&MI_01",
                                 "AddDevice Vela K1 0 0 101 false",
                                 "Register 1209 4B01 Vela K1 101 0 HID#VID_1209&PID_4B01&MI_03",
                                 "Footer 58 Ver: 2.1.0",
                                 "Footer 57 (c) Vela",
                             }));
    ASSERT_EQ(config.keyboards.size(), 2u);
    const DeviceEntry& k2 = config.keyboards[0];
    EXPECT_EQ(k2.name, L"Vela K2 Wireless");
    EXPECT_EQ(k2.layoutName, L"vela_k2");
    EXPECT_EQ(k2.deviceType, 201);
    EXPECT_EQ(k2.vendorId, 0);
    EXPECT_EQ(k2.hidInterface, L"");
    EXPECT_EQ(k2.index, -1);
    ASSERT_EQ(config.modes.size(), 3u);
    const DeviceEntry& dongle = config.modes[1];
    EXPECT_EQ(dongle.name, L"Vela K2 Dongle");
    EXPECT_EQ(dongle.layoutName, L"vela_k2");
    EXPECT_EQ(dongle.deviceType, 201);
    EXPECT_EQ(dongle.mode, 1);
    EXPECT_EQ(dongle.description, L"2.4G");
    EXPECT_EQ(dongle.vendorId, 0x1209);
    EXPECT_EQ(dongle.productId, 0x4B03);
    EXPECT_EQ(dongle.state, 0);
    EXPECT_EQ(dongle.index, -1);
    EXPECT_EQ(config.software.version, L"2.1.0");
    EXPECT_EQ(config.software.websiteUrl, L"https://vela.example");
    EXPECT_EQ(config.software.storeUrl, L"https://vela.example/store");
    EXPECT_EQ(config.software.upgradeUrl, L"https://vela.example/update/");
    EXPECT_EQ(config.software.copyright, L"(c) Vela");
    EXPECT_EQ(FindKeyboardByType(config.keyboards, 101), &config.keyboards[1]);
    EXPECT_EQ(FindKeyboardByType(config.keyboards, 150), nullptr);
}

TEST(ProductConfig, EdgeCasesOfTheFile)
{
    struct Case {
        const char* what;
        std::string text;
        bool read;
        std::vector<std::string> calls; // before the final two hooks
    };
    const Case cases[] = {
        {"keyboard without modes is listed but has no identity",
         "<config><device.info><keyboard name='K' device_type='201'/></device.info></config>", true,
         {"AddDevice K 0 0 201 false"}},
        {"one identity under two models reaches the table twice",
         "<config><device.info><keyboard name='A' device_type='5'><mode vid='1' pid='2' product_name='P'/></keyboard>"
         "<keyboard name='B' device_type='202'><mode vid='1' pid='2' product_name='P'/></keyboard></device.info></config>",
         true,
         {"AddDevice A 0 0 5 false", "Register 0001 0002 P 5 0 ", "AddDevice B 0 0 202 false", "Register 0001 0002 P 202 0 "}},
        {"ids are hexadecimal with or without 0x, as far as they go",
         "<config><device.info><keyboard name='K' device_type='201x'>"
         "<mode value='2b' vid='1234' pid='0X04d9'/><mode vid='12zz' pid='zz'/><mode vid='0x' pid=' 0xAb'/><mode/>"
         "</keyboard></device.info></config>",
         true,
         {"AddDevice K 0 0 201 false", "Register 1234 04D9  201 2 ", "Register 0012 0000  201 0 ",
          "Register 0000 00AB  201 0 ", "Register 0000 0000  201 0 "}},
        {"missing attributes read as empty and 0",
         "<config><device.info><keyboard/></device.info><software/></config>", true,
         {"AddDevice  0 0 0 false", "Footer 58 Ver: "}},
        {"software before device.info is not found",
         "<config><software version='9'/><device.info><keyboard name='K'/></device.info></config>", true,
         {"AddDevice K 0 0 0 false"}},
        {"software without device.info",
         "<config><software version='9'><copyright/></software></config>", true, {"Footer 58 Ver: 9", "Footer 57 "}},
        {"children of software only in their order",
         "<config><software version='1'><copyright info='c'/><website url='w'/></software></config>", true,
         {"Footer 58 Ver: 1"}},
        {"names are case-sensitive and searched one level deep",
         "<config><device.info><Keyboard name='X'/><group><keyboard name='Y'/></group>"
         "<keyboard name='K'><extra><mode vid='1'/></extra></keyboard></device.info></config>",
         true, {"AddDevice K 0 0 0 false"}},
        {"other elements between are passed over",
         "<config><!-- c --><x/><device.info>text<keyboard name='K'/><?pi?></device.info><y/><software version='2'/></config>",
         true, {"AddDevice K 0 0 0 false", "Footer 58 Ver: 2"}},
        {"references in attributes are decoded",
         "<config><device.info><keyboard name='A&amp;B &#x4E2D;&#25991;'/></device.info></config>", true,
         {"AddDevice A&B \xE4\xB8\xAD\xE6\x96\x87 0 0 0 false"}},
        {"declared entities stay as they are",
         "<!DOCTYPE c [<!ENTITY a 'aaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;'>]>"
         "<config><device.info><keyboard name='&c;&c;&c;&c;'/></device.info></config>",
         true, {"AddDevice &c;&c;&c;&c; 0 0 0 false"}},
        {"root other than config", "<device.info><keyboard name='K'/></device.info>", false, {}},
        {"truncated", "<config><device.info><keyboard name='K'/>", false, {}},
        {"malformed", "<config><device.info><keyboard name='K></device.info></config>", false, {}},
        {"empty", "", false, {}},
        {"not XML", std::string("\x00\xFF\xFE garbage", 12), false, {}},
    };
    for (const auto& c : cases) {
        RecordingTargets targets;
        ProductConfig config;
        EXPECT_EQ(LoadProductConfigText(c.text, config, targets.Targets()), c.read) << c.what;
        EXPECT_EQ(targets.calls, With(c.calls)) << c.what;
        if (!c.read) {
            EXPECT_TRUE(config.keyboards.empty() && config.modes.empty() && config.software.version.empty()) << c.what;
        }
    }
}

TEST(ProductConfig, UnusableFilesLeaveEmptyListsAndStillLoadTheDefaultModel)
{
    testenv::TempFolder dir;
    std::string deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<config>";
    std::string huge = "<config><device.info><keyboard name='K' device_type='201'/></device.info>";
    huge.resize(33u * 1024u * 1024u, ' ');
    huge += "</config>";
    const std::pair<const char*, std::string> files[] = {
        {"deeply nested", deep},
        {"larger than any product file", huge},
        {"UTF-16 with BOM but cut in half", testenv::Utf16Le(u"<config><device.info><keyboard name='K'/>").substr(0, 31)},
    };
    for (const auto& [what, bytes] : files) {
        ASSERT_TRUE(testenv::WriteFile(dir / "config.xml", bytes));
        RecordingTargets targets;
        ProductConfig config;
        EXPECT_FALSE(LoadProductConfig(platform::FromUtf8(dir / "config.xml"), config, targets.Targets())) << what;
        EXPECT_EQ(targets.calls, kEnd) << what;
    }
    RecordingTargets targets;
    ProductConfig config;
    EXPECT_FALSE(LoadProductConfig(platform::FromUtf8(dir / "missing.xml"), config, targets.Targets()));
    EXPECT_EQ(targets.calls, kEnd);

    std::string closedDeep;
    for (int i = 0; i < 100000; ++i)
        closedDeep += "<config>";
    for (int i = 0; i < 100000; ++i)
        closedDeep += "</config>";
    EXPECT_TRUE(LoadProductConfigText(closedDeep, config, {})) << "well formed, just without models";
    EXPECT_TRUE(config.keyboards.empty());

    ASSERT_TRUE(testenv::WriteFile(dir / "config.xml",
                                   testenv::Utf16Le(u"<config><device.info><keyboard name='\u00C9' device_type='201'/>"
                                                    u"</device.info></config>")));
    EXPECT_TRUE(LoadProductConfig(platform::FromUtf8(dir / "config.xml"), config, targets.Targets()));
    ASSERT_EQ(config.keyboards.size(), 1u);
    EXPECT_EQ(config.keyboards[0].name, L"\u00C9");
}

TEST(ProductConfig, NullTargetsAreSkipped)
{
    ProductConfig config;
    EXPECT_TRUE(LoadProductConfigText("<config><device.info><keyboard name='K'><mode vid='1'/></keyboard></device.info>"
                                      "<software version='1'><copyright info='c'/></software></config>",
                                      config, {}));
    EXPECT_EQ(config.modes.size(), 1u);
}

TEST(ProductConfig, LeadingHexNumber)
{
    const std::pair<const wchar_t*, int> cases[] = {
        {L"1209", 0x1209}, {L"0x1209", 0x1209}, {L"0X4b01", 0x4B01}, {L"ffff", 0xFFFF}, {L"  0x10 ", 0x10},
        {L"12g4", 0x12},   {L"g", 0},           {L"", 0},            {L"0x", 0},        {L"0xg", 0},
        {L"-1", -1},       {L"+a", 10},         {L"FFFFFFFFFF", 2147483647},            {L"-FFFFFFFFFF", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(LeadingHexInt(text), value) << platform::ToUtf8(text);
}

TEST(ProductConfig, ShippedConfigurationServesTheDefaultModel)
{
    RecordingTargets targets;
    ProductConfig config;
    ASSERT_TRUE(LoadProductConfig(platform::FromUtf8(KEYSTEAD_PROGRAM_DIR "/config.xml"), config, targets.Targets()));
    const DeviceEntry* model = FindKeyboardByType(config.keyboards, ProductConfigHooks::kDefaultDeviceType);
    ASSERT_NE(model, nullptr);
    EXPECT_FALSE(model->layoutName.empty());
    for (const DeviceEntry& mode : config.modes) {
        EXPECT_NE(mode.vendorId, 0) << platform::ToUtf8(mode.name);
        EXPECT_NE(mode.productId, 0) << platform::ToUtf8(mode.name);
        EXPECT_EQ(mode.hidInterface.rfind(L"HID#", 0), 0u) << platform::ToUtf8(mode.name);
    }
    EXPECT_EQ(targets.calls.back(), "RegisterDeviceNotifications");
}
