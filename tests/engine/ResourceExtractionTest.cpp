// Writing embedded resources out: this test program carries resources of its own.
#include <gtest/gtest.h>

#include "installer/ExcelToolInstallerDlg.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const char kExpected[] = "resource bytes: 0123456789";

TEST(ExtractResourceToFile, WritesTheWholeResource)
{
    CExcelToolInstallerDlg installer(L"");
    TempFolder temp;
    ASSERT_TRUE(installer.ExtractResourceToFile(temp / L"out.bin", 300, "TESTDATA"));
    EXPECT_EQ(ReadFileBytes(temp / L"out.bin"), kExpected);
}

TEST(ExtractResourceToFile, ReplacesAnExistingFileWhole)
{
    CExcelToolInstallerDlg installer(L"");
    TempFolder temp;
    WriteFileBytes(temp / L"out.bin", std::string(4096, 'x'));
    ASSERT_TRUE(installer.ExtractResourceToFile(temp / L"out.bin", 300, "TESTDATA"));
    EXPECT_EQ(ReadFileBytes(temp / L"out.bin"), kExpected);
}

TEST(ExtractResourceToFile, MissingOrEmptyResourceCreatesNoFile)
{
    CExcelToolInstallerDlg installer(L"");
    TempFolder temp;
    EXPECT_FALSE(installer.ExtractResourceToFile(temp / L"a.bin", 999, "TESTDATA"));
    EXPECT_FALSE(installer.ExtractResourceToFile(temp / L"b.bin", 300, "NOSUCHTYPE"));
    EXPECT_FALSE(installer.ExtractResourceToFile(temp / L"c.bin", 301, "TESTDATA"));
    EXPECT_TRUE(ListTree(temp.path()).empty());
}

TEST(ExtractResourceToFile, FolderThatDoesNotExistFails)
{
    CExcelToolInstallerDlg installer(L"");
    TempFolder temp;
    EXPECT_FALSE(installer.ExtractResourceToFile(temp / L"missing\\out.bin", 300, "TESTDATA"));
    EXPECT_FALSE(FolderExists(temp / L"missing"));
}

TEST(InstallerObject, FixesTheFoldersAndCreatesTheInstallFolder)
{
    RemoveTree(InstallFolder());
    CExcelToolInstallerDlg installer(L"abc");
    EXPECT_EQ(installer.InstallDir(), InstallFolder());
    EXPECT_TRUE(FolderExists(installer.InstallDir()));
    EXPECT_EQ(installer.TempDir(), TempPath());
    EXPECT_EQ(installer.TempDir().back(), L'\\');
    EXPECT_EQ(installer.ProductName(), L"绘途");
    EXPECT_DOUBLE_EQ(installer.RequiredMB(), 100.2);
}

}  // namespace
