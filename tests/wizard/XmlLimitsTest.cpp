// The limits LoadXmlDocument puts on the documents it parses: size, nesting, and which
// documents count as UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "tests/wizard/XmlFile.h"

using wizard_tests::LoadXmlBytes;

namespace {

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// depth nested elements a, closed again.
std::string Nested(int depth)
{
    return Repeat("<a>", depth) + Repeat("</a>", depth);
}

bool Loads(const std::string& bytes)
{
    TiXmlDocument document;
    return LoadXmlBytes(document, bytes).loaded;
}

TEST(XmlNestingDepth, CountsElementsWithContent)
{
    EXPECT_EQ(XmlNestingDepth("<a/>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), 0);
    EXPECT_EQ(XmlNestingDepth("<a></a>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), 1);
    EXPECT_EQ(XmlNestingDepth("<a><b><c/></b><d>x</d></a>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), 2);
    EXPECT_EQ(XmlNestingDepth(Nested(40), TIXML_ENCODING_LEGACY, kMaxXmlDepth), 40);
}

TEST(XmlNestingDepth, MarkupThatHoldsNoElementsIsNotCounted)
{
    EXPECT_EQ(XmlNestingDepth("<?xml version=\"1.0\"?><a><!-- <b><c> --><![CDATA[<d><e>]]><!DOCTYPE f>x</a>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), 1);
    EXPECT_EQ(XmlNestingDepth("<a x=\"<b><c>\" y='<d>'>text</a>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), 1);
}

TEST(XmlNestingDepth, StopsCountingPastTheLimit)
{
    EXPECT_EQ(XmlNestingDepth(Nested(100000), TIXML_ENCODING_LEGACY, 10), 11);
}

// Documents that hide deep nesting from a walk that does not read them as TinyXML does: the
// parser would recurse through every level.
TEST(XmlNestingDepth, SeesNestingBehindConstructsTinyXmlEndsEarlyOrLate)
{
    const int deep = 5000;
    // A processing instruction ends at its first '>' for TinyXML, not at "?>".
    EXPECT_GT(XmlNestingDepth("<r><?pi >" + Repeat("<a>", deep) + "?></r>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), kMaxXmlDepth);
    // So does anything after '<' that is not a name.
    EXPECT_GT(XmlNestingDepth("<r><1 \">" + Repeat("<a>", deep) + "\"></r>", TIXML_ENCODING_LEGACY, kMaxXmlDepth), kMaxXmlDepth);
    // A quoted version value may hold end tags that TinyXML does not take as end tags.
    EXPECT_GT(XmlNestingDepth(Repeat("<a><?xml version=\"</a></a>\"?>", deep), TIXML_ENCODING_LEGACY, kMaxXmlDepth), kMaxXmlDepth);
}

TEST(LoadXmlDocument, DeepNestingIsRefusedWithoutACrash)
{
    EXPECT_TRUE(Loads(Nested(kMaxXmlDepth)));
    EXPECT_FALSE(Loads(Nested(kMaxXmlDepth + 1)));
    EXPECT_FALSE(Loads(Nested(200000)));
    EXPECT_FALSE(Loads("<r><?pi >" + Repeat("<a>", 200000) + "?></r>"));
    EXPECT_FALSE(Loads(Repeat("<a><?xml version=\"</a></a>\"?>", 200000)));
}

TEST(LoadXmlDocument, OversizedFilesAreRefused)
{
    const std::string frame = "<a></a>";
    const std::string padding(kMaxXmlBytes - frame.size(), ' ');
    EXPECT_TRUE(Loads(padding + frame));
    EXPECT_FALSE(Loads(padding + " " + frame));
}

TEST(LoadXmlDocument, MissingAndMalformedDocumentsAreRefused)
{
    TiXmlDocument document;
    EXPECT_FALSE(LoadXmlDocument(document, L"C:\\no such folder\\document.xml").loaded);
    EXPECT_FALSE(LoadXmlDocument(document, nullptr).loaded);
    EXPECT_FALSE(Loads(""));
    EXPECT_FALSE(Loads("<a><b></a>"));
    EXPECT_FALSE(Loads("<a>"));
}

TEST(LoadXmlDocument, Utf8IsAMarkOrADeclaration)
{
    TiXmlDocument document;
    EXPECT_TRUE(LoadXmlBytes(document, "\xEF\xBB\xBF<a/>").utf8);
    EXPECT_TRUE(LoadXmlBytes(document, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>").utf8);
    EXPECT_TRUE(LoadXmlBytes(document, "<?xml version=\"1.0\" encoding=\"utf-8\"?><a/>").utf8);
    EXPECT_TRUE(LoadXmlBytes(document, "  <?xml version='1.0' encoding='UTF8' ?><a/>").utf8);
    EXPECT_FALSE(LoadXmlBytes(document, "<?xml version=\"1.0\" encoding=\"GBK\"?><a/>").utf8);
    EXPECT_FALSE(LoadXmlBytes(document, "<?xml version=\"1.0\"?><a/>").utf8);
    EXPECT_FALSE(LoadXmlBytes(document, "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>").utf8);
    EXPECT_FALSE(LoadXmlBytes(document, "<a/>").utf8);
}

TEST(LoadXmlDocument, LineEndsReadAsTinyXmlReadsFiles)
{
    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlBytes(document, "<a\r\nx=\"1\">one\r\ntwo\rthree</a>").loaded);
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_STREQ(document.RootElement()->GetText(), "one two three");
    EXPECT_STREQ(document.RootElement()->Attribute("x"), "1");
}

}  // namespace
