#include "xml/XmlDocument.h"

#include "platform/TextCodec.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {
// Runs a script of cursor moves on a document and writes down each result:
//   F name  FindElem      I  IntoElem     O  OutOfElem    R  ResetPos
//   A name  GetAttrib     N name  GetAttribInt            T  GetTagName
std::string RunScript(XmlDocument& doc, const std::string& script)
{
    std::istringstream ops(script);
    std::string op, out;
    while (ops >> op) {
        std::string result;
        auto arg = [&] {
            std::string name;
            ops >> name;
            return platform::FromUtf8(name);
        };
        if (op == "F")
            result = doc.FindElem(arg()) ? "1" : "0";
        else if (op == "I")
            result = doc.IntoElem() ? "1" : "0";
        else if (op == "O")
            result = doc.OutOfElem() ? "1" : "0";
        else if (op == "R")
            doc.ResetPos(), result = "-";
        else if (op == "A")
            result = "[" + platform::ToUtf8(doc.GetAttrib(arg())) + "]";
        else if (op == "N")
            result = std::to_string(doc.GetAttribInt(arg()));
        else if (op == "T")
            result = "<" + platform::ToUtf8(doc.GetTagName()) + ">";
        out += (out.empty() ? "" : " ") + result;
    }
    return out;
}

struct CursorCase {
    const char* what;
    const char* xml;
    const char* script;
    const char* expected;
};
} // namespace

TEST(XmlCursor, MovesAndReadsAsDocumented)
{
    const char* tree = "<r><a n='1'><x n='x1'/><y/><x n='x2'/></a><b n='2'/><a n='3'/></r>";
    const CursorCase cases[] = {
        {"nothing is current before the first find", tree, "T I O A n", "<> 0 0 []"},
        {"the root is found at the top level, once", tree, "F r T F r T", "1 <r> 0 <r>"},
        {"find looks only after the current element", tree, "F r I F b A n F a A n F a", "1 1 1 [2] 1 [3] 0"},
        {"a failed find keeps the current element", tree, "F r I F a F missing A n T", "1 1 1 0 [1] <a>"},
        {"into gives a level with nothing current", tree, "F r I F a I T F x A n F x A n F x", "1 1 1 1 <> 1 [x1] 1 [x2] 0"},
        {"out makes the parent current and the search goes on after it", tree,
         "F r I F a I F y O T A n F a A n", "1 1 1 1 1 1 <a> [1] 1 [3]"},
        {"out of the root level fails", tree, "O F r O", "0 1 0"},
        {"out of the root's children returns to the root", tree, "F r I O T F r", "1 1 1 <r> 0"},
        {"into an element without children", tree, "F r I F b I F x O T", "1 1 1 1 0 1 <b>"},
        {"reset searches the level again", tree, "F r I F a F a R T F a A n", "1 1 1 1 - <> 1 [1]"},
        {"names are case-sensitive", "<r><Item/><item/></r>", "F r I F item T F ITEM", "1 1 1 <item> 0"},
        {"only elements are found", "<r><!--a--><?pi a?>text<![CDATA[<a/>]]><a/></r>", "F r I F a T", "1 1 1 <a>"},
        {"only one level is searched", "<r><g><a/></g></r>", "F r I F a", "1 1 0"},
        {"references are decoded", "<r v='&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x4E2D;'/>", "F r A v", "1 [&<>\"'AB\xE4\xB8\xAD]"},
        {"unknown references stay as text", "<r v='&nbsp;&x'/>", "F r A v", "1 [&nbsp;&x]"},
        {"missing and empty attributes are empty", "<r e=''/>", "F r A e A m", "1 [] []"},
        {"attribute names are case-sensitive", "<r Name='a'/>", "F r A name A Name", "1 [] [a]"},
        {"numbers are the longest leading decimal", "<r a='12abc' b='abc' c='-5' d=' 7' e='0x1F' f='99999999999' g=''/>",
         "F r N a N b N c N d N e N f N g N missing", "1 12 0 -5 7 0 2147483647 0 0"},
        {"blanks in attributes are kept", "<r v='  two  words '/>", "F r A v", "1 [  two  words ]"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadFromText(c.xml)) << c.what;
        EXPECT_EQ(RunScript(doc, c.script), c.expected) << c.what;
    }
}

TEST(XmlCursor, LoadAcceptsWellFormedDocumentsOnly)
{
    const std::pair<std::string, bool> cases[] = {
        {"<r/>", true},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\r\n<r/>", true},
        {testenv::Utf16Le(u"<?xml version='1.0' encoding='UTF-16'?><r v='\u00E9'/>"), true},
        {"<!DOCTYPE r [<!ENTITY a 'aaaa'><!ENTITY b '&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;'>]><r v='&c;'/>", true},
        {"", false},
        {"   ", false},
        {"<?xml version='1.0'?>", false},
        {"<r>", false},
        {"<r><a></r>", false},
        {"<r v='1/>", false},
        {"<r/><s/>", false},
        {"just text", false},
        {std::string("<r>\0</r>", 8), false},
        {testenv::Utf16Le(u"<r><a/>").substr(0, 9), false},
    };
    for (const auto& [text, ok] : cases) {
        XmlDocument doc;
        EXPECT_EQ(doc.LoadFromText(text), ok) << text;
        if (!ok) {
            EXPECT_FALSE(doc.FindElem(L"r")) << "a failed load leaves an empty document";
        }
    }
}

TEST(XmlCursor, BuildsDocumentsAfterTheCurrentElementAndSavesThemAsUtf8)
{
    testenv::TempFolder dir;
    XmlDocument doc;
    doc.NewDocument(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElem(L"profile"));
    EXPECT_FALSE(doc.AddElem(L"second_root"));
    EXPECT_FALSE(doc.AddElem(L""));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem(L"first"));
    ASSERT_TRUE(doc.AddElem(L"third"));
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"first"));
    ASSERT_TRUE(doc.AddElem(L"second")); // lands right after the current element
    EXPECT_TRUE(doc.SetAttrib(L"name", L"\u914D\u7F6E & <x> \"q\" 'a'"));
    EXPECT_TRUE(doc.SetAttrib(L"value", -42));
    EXPECT_TRUE(doc.SetAttrib(L"name", L"renamed")); // same attribute, same place
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem(L"leaf"));
    ASSERT_TRUE(doc.Save(platform::FromUtf8(dir / "out.xml")));
    EXPECT_FALSE(doc.Save(platform::FromUtf8(dir / "missing/out.xml")));

    EXPECT_EQ(testenv::ReadFile(dir / "out.xml").value_or(""),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<profile>\r\n"
              "\t<first/>\r\n"
              "\t<second name=\"renamed\" value=\"-42\">\r\n"
              "\t\t<leaf/>\r\n"
              "\t</second>\r\n"
              "\t<third/>\r\n"
              "</profile>\r\n");

    XmlDocument escaped;
    escaped.NewDocument(L"");
    ASSERT_TRUE(escaped.AddElem(L"r"));
    const std::wstring tricky = L"\u914D\u7F6E & <x> \"q\" 'a'\ttab\nline";
    ASSERT_TRUE(escaped.SetAttrib(L"v", tricky));
    XmlDocument back;
    ASSERT_TRUE(back.LoadFromText(escaped.GetDocText()));
    EXPECT_EQ(RunScript(back, "F r"), "1");
    EXPECT_EQ(back.GetAttrib(L"v"), tricky);
}

TEST(XmlCursor, HostileFilesNeverCrash)
{
    testenv::TempFolder dir;
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    std::string wide = "<r>";
    for (int i = 0; i < 100000; ++i)
        wide += "<k v='" + std::to_string(i) + "'/>";
    wide += "</r>";
    std::string huge = "<r>";
    huge.resize(XmlDocument::kMaxFileSize + 1, ' ');
    huge += "</r>";
    const std::tuple<const char*, std::string, bool> files[] = {
        {"deeply nested", deep, true},
        {"many elements", wide, true},
        {"over the size limit", huge, false},
        {"binary", std::string(4096, '\xFF'), false},
    };
    for (const auto& [what, bytes, ok] : files) {
        ASSERT_TRUE(testenv::WriteFile(dir / "f.xml", bytes));
        XmlDocument doc;
        EXPECT_EQ(doc.Load(platform::FromUtf8(dir / "f.xml")), ok) << what;
    }
    XmlDocument nested;
    ASSERT_TRUE(nested.LoadFromText(deep));
    int depth = 0;
    while (nested.FindElem(L"a") && nested.IntoElem())
        ++depth;
    EXPECT_EQ(depth, 100000);
    while (nested.OutOfElem())
        --depth;
    EXPECT_EQ(depth, 0);
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(platform::FromUtf8(dir / "missing.xml")));
    EXPECT_FALSE(doc.Load(platform::FromUtf8(dir.Path())));
    ASSERT_EQ(::mkfifo((dir / "fifo.xml").c_str(), 0600), 0);
    EXPECT_FALSE(doc.Load(platform::FromUtf8(dir / "fifo.xml"))) << "a pipe nobody writes must not block";
}
