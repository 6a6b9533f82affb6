// Installations into roaming folders that do not follow the C:\Users\<name> pattern: redirected
// to a server or living in a profile folder whose name is not the user name.
#include <gtest/gtest.h>

#include "tests/support/ShellLinkReader.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TEST(ProfileRedirect, RenamedProfileOnAnotherDriveIsUsedAsTheSystemReportsIt)
{
    const std::wstring roaming = L"D:\\Profiles\\alice.CORP\\AppData\\Roaming";
    MakeFolders(roaming);
    RedirectShellFolder(L"AppData", roaming);
    ASSERT_EQ(KnownFolder(CSIDL_APPDATA), roaming) << "the prefix reports the redirected folder";

    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_TRUE(FileExists(roaming + L"\\Corvane\\Plandrel\\StartUp.exe"));
    EXPECT_TRUE(FileExists(roaming + L"\\Corvane\\Plandrel\\client\\3.2.1\\uninstall.exe"));
    for (const std::wstring& entry : ListTree(L"D:\\Profiles")) {
        EXPECT_EQ(entry.compare(0, 11, L"alice.CORP\\"), 0) << Narrow(entry) << ": nothing beside the real profile";
    }
}

// ë is not in code page 936: a path that went through it would name C:\users\Zo?, which does
// not exist.
TEST(ProfileRedirect, AProfileWhoseNameIsOutsideTheAnsiCodePageInstallsCompletely)
{
    const std::wstring profile = L"C:\\users\\Zo\u00EB";
    const std::wstring roaming = profile + L"\\AppData\\Roaming";
    const std::wstring temp = profile + L"\\Temp";
    MakeFolders(roaming);
    MakeFolders(temp);
    RedirectShellFolder(L"AppData", roaming);
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    ::SetEnvironmentVariableW(L"TMP", temp.c_str());

    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::wstring install = roaming + L"\\Corvane\\Plandrel\\";
    EXPECT_TRUE(FileExists(install + L"StartUp.exe"));
    EXPECT_TRUE(FileExists(install + L"LocalConfig.xml"));
    EXPECT_TRUE(FileExists(install + L"client\\3.2.1\\uninstall.exe"));
    // (Wine 8 keeps a link's target only in the ANSI code page, so the target is not compared.)
    EXPECT_TRUE(FileExists(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk"));
    EXPECT_TRUE(FileExists(temp + L"\\~temp.install.data.zip")) << "the payload went through the moved temporary folder";
}

TEST(ProfileRedirect, AppDataStartMenuAndDesktopOnAServerShare)
{
    // As a domain policy redirects them; the server keeps the folders, so they exist.
    const std::wstring home = MakeShare(L"fileserver", L"home");
    const std::wstring roaming = home + L"\\alice\\AppData\\Roaming";
    const std::wstring programs = roaming + L"\\Microsoft\\Windows\\Start Menu\\Programs";
    const std::wstring desktop = home + L"\\alice\\Desktop";
    for (const std::wstring& folder : {programs, desktop}) {
        MakeFolders(folder);
        ASSERT_TRUE(FolderExists(folder)) << Narrow(folder);
    }
    RedirectShellFolder(L"AppData", roaming);
    RedirectShellFolder(L"Programs", programs);
    RedirectShellFolder(L"Desktop", desktop);
    ASSERT_EQ(KnownFolder(CSIDL_APPDATA), roaming);

    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::wstring install = roaming + L"\\Corvane\\Plandrel\\";
    EXPECT_TRUE(FileExists(install + L"StartUp.exe"));
    EXPECT_TRUE(FileExists(install + L"client\\3.2.1\\uninstall.exe"));
    // (The recording library is not loaded here: Wine 8's loader refuses a share path together
    // with the search flags that keep the library's dependencies to its own and the system's
    // folder, which Windows accepts.)
    const std::wstring group = programs + L"\\栖杉坊\\绘途\\";
    EXPECT_EQ(ReadShellLink(group + L"绘途.lnk").target, install + L"StartUp.exe");
    EXPECT_EQ(ReadShellLink(group + L"卸载绘途.lnk").target, install + L"client\\3.2.1\\uninstall.exe");
    EXPECT_EQ(ReadShellLink(desktop + L"\\绘途.lnk").target, install + L"StartUp.exe");
    EXPECT_FALSE(FolderExists(KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\栖杉坊")) << "no fall-back to all users";
    for (const wchar_t* stray : {L"C:\\Corvane", L"C:\\fileserver", L"C:\\alice", L"C:\\users\\alice", L"\\\\fileserver\\alice"}) {
        EXPECT_FALSE(FolderExists(stray)) << Narrow(stray);
    }
}

}  // namespace
