#include "ShippedFiles.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>

using shipped::Keyboard;
using shipped::Mode;

namespace {

const wchar_t kBluetoothHidService[] = L"00001812-0000-1000-8000-00805F9B34FB";

bool IsHex4(const std::wstring& text)
{
    if (text.size() != 4)
        return false;
    for (wchar_t c : text)
        if (!std::iswxdigit(c))
            return false;
    return true;
}

std::wstring Upper(std::wstring text)
{
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

const Keyboard* FindType(const std::vector<Keyboard>& list, bool (*pick)(int))
{
    for (const auto& k : list)
        if (pick(k.deviceType))
            return &k;
    return nullptr;
}

std::set<int> ModeValues(const Keyboard& k)
{
    std::set<int> values;
    for (const auto& m : k.modes)
        values.insert(m.value);
    return values;
}

} // namespace

TEST(ShippedConfig, SoftwareElementsAreFoundInReadingOrder)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(shipped::WideProgramPath("config.xml")));
    ASSERT_TRUE(doc.FindElem(L"config"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"device.info"));
    ASSERT_TRUE(doc.FindElem(L"software")) << "software must follow device.info";
    EXPECT_EQ(doc.GetAttrib(L"name"), L"Keystead");
    EXPECT_FALSE(doc.GetAttrib(L"version").empty());
    ASSERT_TRUE(doc.IntoElem());
    for (const wchar_t* name : {L"website", L"store", L"upgrade"}) {
        ASSERT_TRUE(doc.FindElem(name)) << platform::ToUtf8(name) << " missing or out of order";
        EXPECT_EQ(doc.GetAttrib(L"url").rfind(L"https://", 0), 0u) << platform::ToUtf8(name);
    }
    ASSERT_TRUE(doc.FindElem(L"copyright"));
    EXPECT_FALSE(doc.GetAttrib(L"info").empty());
}

TEST(ShippedConfig, ServesAWirelessDefaultModelAndAWiredOutputReportModel)
{
    const auto keyboards = shipped::ReadKeyboards();
    const Keyboard* defaultModel = FindType(keyboards, [](int t) { return t == 201; });
    ASSERT_NE(defaultModel, nullptr) << "the program loads device type 201 at start";
    EXPECT_EQ(ModeValues(*defaultModel), (std::set<int>{0, 1, 2}));
    // The lighting code counts 200 to the feature-report family, so the wired model stays below it.
    const Keyboard* wired = FindType(keyboards, [](int t) { return t > 0 && t < 200; });
    ASSERT_NE(wired, nullptr);
    EXPECT_EQ(ModeValues(*wired), (std::set<int>{0}));

    std::set<std::wstring> names;
    for (const auto& k : keyboards) {
        EXPECT_TRUE(names.insert(k.name).second) << "model names name the database files";
        EXPECT_EQ(k.name.find_first_of(L"/\\"), std::wstring::npos);
        EXPECT_FALSE(k.layout.empty());
    }
}

TEST(ShippedConfig, InterfacePatternsNameTheConfigurationInterfaceOfTheirOwnIdentity)
{
    std::vector<Mode> modes;
    for (const auto& k : shipped::ReadKeyboards())
        modes.insert(modes.end(), k.modes.begin(), k.modes.end());
    ASSERT_FALSE(modes.empty());

    std::set<std::wstring> identities;
    for (const auto& m : modes) {
        SCOPED_TRACE(platform::ToUtf8(m.hidInterface));
        ASSERT_TRUE(IsHex4(m.vid) && IsHex4(m.pid));
        EXPECT_TRUE(identities.insert(m.vid + L":" + m.pid).second);
        EXPECT_FALSE(m.productName.empty());
        // Paths are upper-cased before the case-sensitive search.
        EXPECT_EQ(m.hidInterface, Upper(m.hidInterface));
        if (m.hidInterface.find(kBluetoothHidService) != std::wstring::npos) {
            EXPECT_NE(m.hidInterface.find(L"VID&02" + Upper(m.vid) + L"_PID&" + Upper(m.pid)), std::wstring::npos);
            continue;
        }
        const std::wstring stem = L"HID#VID_" + Upper(m.vid) + L"&PID_" + Upper(m.pid) + L"&MI_";
        ASSERT_EQ(m.hidInterface.rfind(stem, 0), 0u);
        const std::wstring mi = m.hidInterface.substr(stem.size());
        EXPECT_TRUE(mi.size() == 2 && std::iswdigit(mi[0]) && std::iswdigit(mi[1]));
        EXPECT_NE(mi, L"03") << "interface 3 carries the colour stream, not the commands";
    }
    // Arrival takes the first pattern found in a path: no pattern may contain another.
    for (const auto& a : modes)
        for (const auto& b : modes)
            if (&a != &b) {
                EXPECT_EQ(a.hidInterface.find(b.hidInterface), std::wstring::npos);
            }
}
