#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

TEST(XmlDocument, FindOnlyLooksAfterTheCurrentElement)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText("<config><software name='a'/><device.info/><software name='b'/></config>"));
    ASSERT_TRUE(doc.FindElem(L"config"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"device.info"));
    ASSERT_TRUE(doc.FindElem(L"software"));
    EXPECT_EQ(doc.GetAttrib(L"name"), L"b");
    EXPECT_FALSE(doc.FindElem(L"software"));
    EXPECT_EQ(doc.GetAttrib(L"name"), L"b");
}

TEST(XmlDocument, WritesDeclarationIndentedElementsAndEscapes)
{
    XmlDocument doc;
    doc.NewDocument(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElem(L"macro"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem(L"macroinfo"));
    doc.SetAttrib(L"name", L"a&b<\"'>");
    doc.SetAttrib(L"times", 3);
    ASSERT_TRUE(doc.AddElem(L"macroitems"));
    EXPECT_EQ(doc.GetDocText(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<macro>\r\n"
              "\t<macroinfo name=\"a&amp;b&lt;&quot;&apos;&gt;\" times=\"3\"/>\r\n"
              "\t<macroitems/>\r\n"
              "</macro>\r\n");
}
