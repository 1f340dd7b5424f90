#include "platform/IniFile.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
using testenv::Utf16Le;

std::string Utf16Be(std::u16string_view text)
{
    std::string out = "\xFE\xFF";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

struct LookupCase {
    const char* what;
    std::string bytes;
    std::wstring section;
    std::wstring key;
    std::wstring expected;
};
} // namespace

TEST(IniFile, LooksUpTextsAsProfileStringsDo)
{
    const std::wstring longText(300, L'x');
    const LookupCase cases[] = {
        {"plain UTF-8", "[KB.DIALOG]\n65=Profile\n", L"KB.DIALOG", L"65", L"Profile"},
        {"UTF-8 with BOM and CRLF", "\xEF\xBB\xBF[KB.DIALOG]\r\n65=Perfil\r\n", L"KB.DIALOG", L"65", L"Perfil"},
        {"UTF-8 multibyte", "[KB.DIALOG]\n1=\xE9\x85\x8D\xE7\xBD\xAE\n", L"KB.DIALOG", L"1", L"\u914D\u7F6E"},
        {"UTF-16LE with BOM", Utf16Le(u"[KB.DIALOG]\r\n7=Configura\u00E7\u00E3o\r\n"), L"KB.DIALOG", L"7", L"Configura\u00E7\u00E3o"},
        {"UTF-16BE with BOM", Utf16Be(u"[KB.DIALOG]\n7=Macro\n"), L"KB.DIALOG", L"7", L"Macro"},
        {"surrogate pair", Utf16Le(u"[s]\nk=\U0001F600\n"), L"s", L"k", L"\U0001F600"},
        {"unpaired surrogate", Utf16Le(u"[s]\nk=a\xD800z\n"), L"s", L"k", L"a\uFFFDz"},
        {"UTF-16 with odd trailing byte", Utf16Le(u"[s]\nk=v\n") + "\x41", L"s", L"k", L"v"},
        {"names ignore case", "[kb.dialog]\nAbc=1\n", L"KB.DIALOG", L"aBC", L"1"},
        {"blanks trimmed", "  [ KB.DIALOG ]  \n  65  =   Profile  \t\n", L"KB.DIALOG", L"65", L"Profile"},
        {"matching quotes removed", "[s]\nk=\" spaced \"\n", L"s", L"k", L" spaced "},
        {"lone quote kept", "[s]\nk=\"open\n", L"s", L"k", L"\"open"},
        {"first duplicate wins", "[s]\nk=first\nk=second\n", L"s", L"k", L"first"},
        {"equals sign in value", "[s]\nk=a=b\n", L"s", L"k", L"a=b"},
        {"comment line", "[s]\n;k=hidden\n", L"s", L"k", L""},
        {"key of another section", "[a]\nk=1\n[s]\nj=2\n", L"s", L"k", L""},
        {"key before any section", "k=1\n[s]\n", L"s", L"k", L""},
        {"line without equals", "[s]\nk\n", L"s", L"k", L""},
        {"unclosed header", "[s\nk=v\n", L"s", L"k", L"v"},
        {"no newline at end", "[s]\nk=v", L"s", L"k", L"v"},
        {"empty value", "[s]\nk=\n", L"s", L"k", L""},
        {"long value cut at 259", "[s]\nk=" + std::string(300, 'x') + "\n", L"s", L"k", longText.substr(0, 259)},
        {"bad UTF-8 replaced", "[s]\nk=a\xC3(b\n", L"s", L"k", L"a\uFFFD(b"},
        {"empty file", "", L"s", L"k", L""},
        {"only a BOM", "\xFF\xFE", L"s", L"k", L""},
        {"binary noise", std::string("\x00\x01[s]\x00k=\xFF", 10), L"s", L"k", L""},
    };
    for (const auto& c : cases) {
        platform::IniFile ini;
        ini.LoadFromBytes(c.bytes);
        EXPECT_EQ(ini.Get(c.section, c.key), c.expected) << c.what;
        EXPECT_EQ(ini.Contains(c.section, c.key), !c.expected.empty() || std::string_view(c.what) == "empty value")
            << c.what;
    }
}

TEST(IniFile, MissingOrOversizedFileHoldsNoValues)
{
    testenv::TempFolder dir;
    platform::IniFile ini;
    EXPECT_FALSE(ini.Load(dir / "missing.lan"));

    std::string huge = "[s]\nk=v\n";
    huge.resize(platform::IniFile::kMaxFileSize + 1, ';');
    ASSERT_TRUE(testenv::WriteFile(dir / "huge.lan", huge));
    EXPECT_FALSE(ini.Load(dir / "huge.lan"));
    EXPECT_EQ(ini.Get(L"s", L"k"), L"");

    ASSERT_TRUE(testenv::WriteFile(dir / "ok.lan", "[s]\nk=v\n"));
    EXPECT_TRUE(ini.Load(dir / "ok.lan"));
    EXPECT_EQ(ini.Get(L"s", L"k"), L"v");
    EXPECT_FALSE(ini.Load(dir.Path())) << "a folder is not a file";
    EXPECT_EQ(ini.Get(L"s", L"k"), L"");
    ASSERT_EQ(::mkfifo((dir / "fifo.lan").c_str(), 0600), 0);
    EXPECT_FALSE(ini.Load(dir / "fifo.lan")) << "a pipe nobody writes must not block";
}
