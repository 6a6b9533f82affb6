#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"

namespace {

CommandLineOptions Parse(std::vector<const wchar_t*> arguments)
{
    arguments.insert(arguments.begin(), L"C:\\Downloads\\setup.exe");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, SilentIsComparedWholeAndWithoutCase)
{
    EXPECT_TRUE(Parse({L"-silent"}).silent);
    EXPECT_TRUE(Parse({L"-SILENT"}).silent);
    EXPECT_TRUE(Parse({L"-Silent", L"-silent"}).silent);
    EXPECT_FALSE(Parse({L"-silent=1"}).silent);
    EXPECT_FALSE(Parse({L"/silent"}).silent);
    EXPECT_FALSE(Parse({}).silent);
}

TEST(CommandLine, InFromTakesTheNextArgumentWhateverItIs)
{
    EXPECT_EQ(Parse({L"-inFrom", L"abc", L"-silent"}).inFrom, L"abc");
    EXPECT_TRUE(Parse({L"-inFrom", L"abc", L"-silent"}).silent);
    EXPECT_EQ(Parse({L"-silent", L"-inFrom", L"abc"}).inFrom, L"abc");

    const CommandLineOptions optionAsTag = Parse({L"-inFrom", L"-silent"});
    EXPECT_EQ(optionAsTag.inFrom, L"-silent");
    EXPECT_TRUE(optionAsTag.silent);
}

TEST(CommandLine, FirstInFromWinsAndOnlyAsWholeArgument)
{
    EXPECT_EQ(Parse({L"-inFrom", L"a", L"-inFrom", L"b"}).inFrom, L"a");
    EXPECT_EQ(Parse({L"-INFROM", L"x"}).inFrom, L"x");
    EXPECT_EQ(Parse({L"-inFrom=abc"}).inFrom, L"");
    const CommandLineOptions last = Parse({L"-inFrom"});
    EXPECT_EQ(last.inFrom, L"");
    EXPECT_FALSE(last.silent);
}

TEST(CommandLine, LogTakesTheNextArgumentAndTheFirstLogWins)
{
    EXPECT_EQ(Parse({L"-silent", L"-log", L"C:\\Logs\\setup.log"}).logPath, L"C:\\Logs\\setup.log");
    EXPECT_EQ(Parse({L"-LOG", L"\\\\server\\logs\\pc1.log"}).logPath, L"\\\\server\\logs\\pc1.log");
    EXPECT_EQ(Parse({L"-log", L"a.log", L"-log", L"b.log"}).logPath, L"a.log");

    const CommandLineOptions optionAsPath = Parse({L"-log", L"-silent"});
    EXPECT_EQ(optionAsPath.logPath, L"-silent");
    EXPECT_TRUE(optionAsPath.silent);
    EXPECT_EQ(Parse({L"-log", L"-inFrom", L"x"}).inFrom, L"x") << "-inFrom is found wherever it stands";

    EXPECT_EQ(Parse({L"-log=setup.log"}).logPath, L"");
    EXPECT_EQ(Parse({L"/log", L"setup.log"}).logPath, L"");
    EXPECT_EQ(Parse({L"-silent", L"-log"}).logPath, L"") << "-log as the last argument asks for no log";
    EXPECT_EQ(Parse({L"-silent"}).logPath, L"");
}

TEST(CommandLine, ProgramPathIsScannedToo)
{
    const wchar_t* arguments[] = {L"-silent"};
    EXPECT_TRUE(ParseCommandLine(1, arguments).silent);
}

TEST(CommandLine, NoArgumentArrayMeansWizardWithoutTag)
{
    const CommandLineOptions options = ParseCommandLine(0, nullptr);
    EXPECT_FALSE(options.silent);
    EXPECT_EQ(options.inFrom, L"");
}

TEST(CommandLine, TenThousandArguments)
{
    std::vector<const wchar_t*> arguments(10000, L"-x");
    arguments[9998] = L"-inFrom";
    arguments[9999] = L"late";
    arguments[5000] = L"-SILENT";
    const CommandLineOptions options = Parse(arguments);
    EXPECT_TRUE(options.silent);
    EXPECT_EQ(options.inFrom, L"late");
}

}  // namespace
