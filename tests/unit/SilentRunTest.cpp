// setup.exe itself, run silently in a prefix of the test's own.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TEST(SilentRun, FreshPrefixExitsZeroAndCreatesTheInstallFolder)
{
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_TRUE(FolderExists(InstallFolder()));
}

TEST(SilentRun, OptionCaseAndOrderDoNotMatter)
{
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-SILENT"), 0u);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-inFrom x -silent"), 0u);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-inFrom -silent"), 0u);
}

}  // namespace
