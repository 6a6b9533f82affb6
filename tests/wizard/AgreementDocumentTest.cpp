// Building the agreement text and the required space from the agreement document.
#include <gtest/gtest.h>

#include <windows.h>

#include "installer/AgreementDocument.h"
#include "tests/wizard/XmlFile.h"

using wizard_tests::Encode;
using wizard_tests::LoadXmlBytes;

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// A UTF-8 document whose root carries dataSize and whose Agreement holds body.
std::string Document(const std::string& body, const std::string& dataSize = "1")
{
    return std::string(kDeclaration) + "<InstallConfig dataSize=\"" + dataSize + "\"><Agreement>" + body +
           "</Agreement></InstallConfig>";
}

struct Built {
    bool ok = false;
    AgreementContent content;
};

Built Build(const std::string& bytes)
{
    TiXmlDocument document;
    const LoadedXml loaded = LoadXmlBytes(document, bytes);
    EXPECT_TRUE(loaded.loaded) << bytes;
    Built built;
    built.ok = BuildAgreement(document, loaded.utf8, built.content);
    return built;
}

std::wstring TextOf(const std::string& body)
{
    const Built built = Build(Document(body));
    EXPECT_TRUE(built.ok) << body;
    return built.content.text;
}

double RequiredMB(const std::string& dataSize)
{
    const Built built = Build(Document("<Title>T</Title>", dataSize));
    EXPECT_TRUE(built.ok) << dataSize;
    return built.content.requiredMB;
}

TEST(AgreementDocument, TitleThenNewLineAndSectionParagraphs)
{
    EXPECT_EQ(TextOf("<Title>T</Title><NewLine>A</NewLine><Section>B</Section>"), L"\t\t\t\tT\nA\n    B");
}

TEST(AgreementDocument, ParagraphsKeepDocumentOrderAndRepeat)
{
    EXPECT_EQ(TextOf("<Title>T</Title><Section>1</Section><NewLine>2</NewLine><Section>3</Section><NewLine>4</NewLine>"),
              L"\t\t\t\tT\n    1\n2\n    3\n4");
}

TEST(AgreementDocument, EmptyTitleGivesTheFourTabsAlone)
{
    EXPECT_EQ(TextOf("<Title></Title><NewLine>A</NewLine>"), L"\t\t\t\t\nA");
    EXPECT_EQ(TextOf("<Title/>"), L"\t\t\t\t");
}

TEST(AgreementDocument, EmptyParagraphsStillBreakTheLine)
{
    EXPECT_EQ(TextOf("<Title>T</Title><NewLine/><NewLine></NewLine><Section/>"), L"\t\t\t\tT\n\n\n    ");
}

TEST(AgreementDocument, ForeignElementsAddNothing)
{
    EXPECT_EQ(TextOf("<Title>T</Title><Section>x</Section><Note>n</Note><Section>y</Section>"), L"\t\t\t\tT\n    x\n    y");
}

TEST(AgreementDocument, ElementsBeforeTheTitleAreIgnored)
{
    EXPECT_EQ(TextOf("<NewLine>before</NewLine><Section>too</Section><Title>T</Title><NewLine>after</NewLine>"),
              L"\t\t\t\tT\nafter");
}

TEST(AgreementDocument, NamesAreComparedWithCase)
{
    EXPECT_EQ(TextOf("<Title>T</Title><newline>x</newline><SECTION>y</SECTION>"), L"\t\t\t\tT");
    EXPECT_FALSE(Build(Document("<title>T</title>")).ok);
}

TEST(AgreementDocument, TextsSpreadOverLinesBecomeOneLineWithSingleBlanks)
{
    EXPECT_EQ(TextOf("<Title>\n   T  one\n</Title><Section>\n\t  two\n\n   lines\t here  </Section>"),
              L"\t\t\t\tT one\n    two lines here");
}

TEST(AgreementDocument, CommentsBetweenElementsAreSkippedAndDoNotCountAsText)
{
    EXPECT_EQ(TextOf("<!-- c --><Title>T</Title><!-- c --><NewLine>A</NewLine><Section><!-- first -->hidden</Section>"),
              L"\t\t\t\tT\nA\n    ");
}

TEST(AgreementDocument, EntitiesAreDecoded)
{
    EXPECT_EQ(TextOf("<Title>a &lt;b&gt; &amp; &quot;c&quot;</Title>"), L"\t\t\t\ta <b> & \"c\"");
}

TEST(AgreementDocument, RequiredSpaceIsTheLeadingDecimalNumber)
{
    EXPECT_DOUBLE_EQ(RequiredMB("153.7"), 153.7);
    EXPECT_DOUBLE_EQ(RequiredMB("MB"), 0.0);
    EXPECT_DOUBLE_EQ(RequiredMB(" 42MB"), 42.0);
    EXPECT_DOUBLE_EQ(RequiredMB(""), 0.0);
}

TEST(AgreementDocument, TheRootNameIsNotExamined)
{
    const Built built = Build("<Anything dataSize=\"7.5\"><Agreement><Title>T</Title></Agreement></Anything>");
    EXPECT_TRUE(built.ok);
    EXPECT_DOUBLE_EQ(built.content.requiredMB, 7.5);
    EXPECT_EQ(built.content.text, L"\t\t\t\tT");
}

TEST(AgreementDocument, Utf8DeclaredOrMarkedIsDecodedAsUtf8)
{
    const std::string body = "<Title>绘途 软件许可协议</Title><Section>一、许可范围</Section>";
    const std::wstring expected = L"\t\t\t\t绘途 软件许可协议\n    一、许可范围";
    EXPECT_EQ(TextOf(body), expected);
    const std::string marked = "\xEF\xBB\xBF<R dataSize=\"1\"><Agreement>" + body + "</Agreement></R>";
    const Built built = Build(marked);
    EXPECT_TRUE(built.ok);
    EXPECT_EQ(built.content.text, expected);
}

TEST(AgreementDocument, OtherDocumentsAreDecodedInTheAnsiCodePage)
{
    ASSERT_EQ(::GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    // 睢 and 稹 have lead bytes that also lead three- and four-byte UTF-8 sequences.
    const std::wstring title = L"绘途 软件许可协议睢";
    const std::wstring section = L"二、使用限制：您不得对本软件进行反向工程稹";
    const std::string body = "<Agreement><Title>" + Encode(title, 936) + "</Title><Section>" + Encode(section, 936) +
                             "</Section></Agreement>";
    const std::wstring expected = L"\t\t\t\t" + title + L"\n    " + section;
    for (const std::string declaration : {"<?xml version=\"1.0\" encoding=\"GBK\"?>", "<?xml version=\"1.0\"?>", ""}) {
        const Built built = Build(declaration + "<R dataSize=\"2\">" + body + "</R>");
        EXPECT_TRUE(built.ok) << declaration;
        EXPECT_EQ(built.content.text, expected) << declaration;
    }
}

TEST(AgreementDocument, DocumentsWithoutRootDataSizeAgreementOrTitleAreRefusedUntouched)
{
    const char* const documents[] = {
        "<!-- no element at all -->",
        "<R><Agreement><Title>T</Title></Agreement></R>",
        "<R dataSize=\"1\"><Title>T</Title></R>",
        "<R dataSize=\"1\"><Agreement><NewLine>A</NewLine></Agreement></R>",
        "<R dataSize=\"1\"><Other><Agreement><Title>T</Title></Agreement></Other></R>",
    };
    for (const char* document : documents) {
        TiXmlDocument parsed;
        const LoadedXml loaded = LoadXmlBytes(parsed, document);
        ASSERT_TRUE(loaded.loaded) << document;
        AgreementContent content;
        content.text = L"earlier";
        content.requiredMB = 100.2;
        EXPECT_FALSE(BuildAgreement(parsed, loaded.utf8, content)) << document;
        EXPECT_EQ(content.text, L"earlier") << document;
        EXPECT_DOUBLE_EQ(content.requiredMB, 100.2) << document;
    }
}

}  // namespace
