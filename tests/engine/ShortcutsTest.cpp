// The three shell links, read back through the shell's link object.
#include <gtest/gtest.h>

#include "tests/support/InstallerUnderTest.h"
#include "tests/support/ShellLinkReader.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        launcher = installer.InstallDir() + L"StartUp.exe";
        uninstaller = installer.InstallDir() + L"client\\3.2.1\\uninstall.exe";
        WriteFileBytes(launcher, "launcher");
        WriteFileBytes(uninstaller, "uninstaller");
    }

    static std::wstring Group(int programsFolder) { return KnownFolder(programsFolder) + L"\\栖杉坊\\绘途"; }

    InstallerUnderTest installer;
    std::wstring launcher;
    std::wstring uninstaller;
};

TEST_F(Shortcuts, ProgramDesktopAndUninstallLinksForTheCurrentUser)
{
    WriteFileBytes(installer.InstallDir() + L"tool.ico", "icon");
    ASSERT_TRUE(installer.CreateShortcutsWithFallback(uninstaller, launcher));

    const ShellLinkInfo program = ReadShellLink(Group(CSIDL_PROGRAMS) + L"\\绘途.lnk");
    ASSERT_TRUE(program.loaded);
    EXPECT_EQ(program.target, launcher);
    EXPECT_EQ(program.workingDirectory + L"\\", installer.InstallDir());
    EXPECT_EQ(program.iconPath, installer.InstallDir() + L"tool.ico");
    EXPECT_EQ(program.iconIndex, 0);

    const ShellLinkInfo desktop = ReadShellLink(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk");
    ASSERT_TRUE(desktop.loaded);
    EXPECT_EQ(desktop.target, launcher);
    EXPECT_EQ(desktop.iconPath, installer.InstallDir() + L"tool.ico");

    const ShellLinkInfo uninstall = ReadShellLink(Group(CSIDL_PROGRAMS) + L"\\卸载绘途.lnk");
    ASSERT_TRUE(uninstall.loaded);
    EXPECT_EQ(uninstall.target, uninstaller);
    EXPECT_EQ(uninstall.workingDirectory, installer.InstallDir() + L"client\\3.2.1");
    EXPECT_EQ(uninstall.iconPath, L"") << "the uninstall link never carries the product icon";

    EXPECT_FALSE(FolderExists(Group(CSIDL_COMMON_PROGRAMS)));
}

TEST_F(Shortcuts, WithoutToolIcoTheLinksUseTheTargetsIcons)
{
    ::DeleteFileW((installer.InstallDir() + L"tool.ico").c_str());
    ASSERT_TRUE(installer.CreateShortcutsWithFallback(uninstaller, launcher));
    for (const std::wstring& link : {Group(CSIDL_PROGRAMS) + L"\\绘途.lnk", KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk",
                                     Group(CSIDL_PROGRAMS) + L"\\卸载绘途.lnk"}) {
        const ShellLinkInfo info = ReadShellLink(link);
        ASSERT_TRUE(info.loaded) << Narrow(link);
        EXPECT_EQ(info.iconPath, L"") << Narrow(link);
    }
}

TEST_F(Shortcuts, PerUserFailureFallsBackToAllUsersAndRemovesThePerUserGroup)
{
    // A folder where the desktop link would go makes the per-user pass fail after its first link.
    MakeFolders(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk");
    ASSERT_TRUE(installer.CreateShortcutsWithFallback(uninstaller, launcher));
    EXPECT_FALSE(FolderExists(Group(CSIDL_PROGRAMS)));
    EXPECT_TRUE(ReadShellLink(Group(CSIDL_COMMON_PROGRAMS) + L"\\绘途.lnk").loaded);
    EXPECT_TRUE(ReadShellLink(Group(CSIDL_COMMON_PROGRAMS) + L"\\卸载绘途.lnk").loaded);
    EXPECT_EQ(ReadShellLink(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\绘途.lnk").target, launcher);
}

TEST_F(Shortcuts, BothScopesFailingReportsFailure)
{
    MakeFolders(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk");
    MakeFolders(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\绘途.lnk");
    EXPECT_FALSE(installer.CreateShortcutsWithFallback(uninstaller, launcher));
    EXPECT_FALSE(FolderExists(Group(CSIDL_PROGRAMS)));
    EXPECT_FALSE(FolderExists(Group(CSIDL_COMMON_PROGRAMS)));
}

}  // namespace
