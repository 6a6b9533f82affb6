// LocalConfig.xml as the unpacked product carries it.
#include <gtest/gtest.h>

#include "tests/support/InstallerUnderTest.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

struct Values {
    bool result;
    std::wstring appId, libId, current;
};

Values ReadWith(const std::string* document)
{
    InstallerUnderTest installer;
    const std::wstring path = installer.InstallDir() + L"LocalConfig.xml";
    ::DeleteFileW(path.c_str());
    if (document) WriteFileBytes(path, *document);
    Values values{};
    values.result = installer.ReadLocalConfig(values.appId, values.libId, values.current);
    return values;
}

Values ReadWith(const std::string& document)
{
    return ReadWith(&document);
}

TEST(LocalConfig, ReadsTheThreeValues)
{
    const Values v = ReadWith("<?xml version=\"1.0\"?><cfg><version><client appId=\"app-7\"><libID>LIB-1</libID>"
                              "<current>3.2.1</current></client></version></cfg>");
    EXPECT_TRUE(v.result);
    EXPECT_EQ(v.appId, L"app-7");
    EXPECT_EQ(v.libId, L"LIB-1");
    EXPECT_EQ(v.current, L"3.2.1");
}

TEST(LocalConfig, MissingOrBrokenFileFailsAndLeavesTheValuesEmpty)
{
    for (const Values& v : {ReadWith(nullptr), ReadWith("<cfg><version><client appId=\"x\">"), ReadWith(""),
                            ReadWith(std::string("\x00\x01\x02", 3))}) {
        EXPECT_FALSE(v.result);
        EXPECT_EQ(v.appId + v.libId + v.current, L"");
    }
}

TEST(LocalConfig, MissingPartsLeaveTheirValuesEmpty)
{
    const Values noVersion = ReadWith("<cfg><other/></cfg>");
    EXPECT_TRUE(noVersion.result);
    EXPECT_EQ(noVersion.appId + noVersion.libId + noVersion.current, L"");

    const Values onlyAppId = ReadWith("<cfg><version><client appId=\"only\"/></version></cfg>");
    EXPECT_TRUE(onlyAppId.result);
    EXPECT_EQ(onlyAppId.appId, L"only");
    EXPECT_EQ(onlyAppId.libId + onlyAppId.current, L"");

    const Values emptyCurrent = ReadWith("<cfg><version><client><libID>L</libID><current></current></client></version></cfg>");
    EXPECT_EQ(emptyCurrent.libId, L"L");
    EXPECT_EQ(emptyCurrent.current, L"");

    const Values commentFirst = ReadWith("<cfg><version><client><current><!-- c -->9</current></client></version></cfg>");
    EXPECT_EQ(commentFirst.current, L"") << "an element whose first child is not text gives no text";
}

TEST(LocalConfig, OnlyTheFirstClientCounts)
{
    const Values v = ReadWith("<cfg><version><client appId=\"first\"><current>1.0</current></client>"
                              "<client appId=\"second\"><current>2.0</current></client></version></cfg>");
    EXPECT_EQ(v.appId, L"first");
    EXPECT_EQ(v.current, L"1.0");
}

TEST(LocalConfig, HostileDocumentsAreRefusedWithoutHarm)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    EXPECT_FALSE(ReadWith(deep).result) << "nesting beyond the limit";
    std::string quoted = "<cfg>";
    for (int i = 0; i < 100000; ++i) quoted += "<a x=\"/>\">";
    EXPECT_FALSE(ReadWith(quoted).result) << "a quoted '/>' does not hide an open element";
    const std::string huge = "<cfg>" + std::string(20 * 1024 * 1024, ' ') + "</cfg>";
    EXPECT_FALSE(ReadWith(huge).result) << "larger than any record";
    EXPECT_TRUE(ReadWith("\xEF\xBB\xBF<cfg><version><client appId=\"bom\"/></version></cfg>").result);
}

}  // namespace
