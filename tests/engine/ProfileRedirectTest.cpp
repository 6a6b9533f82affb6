// Installations into roaming folders that do not follow the C:\Users\<name> pattern: redirected
// to a server or living in a profile folder whose name is not the user name.
#include <gtest/gtest.h>

#include "installer/ExcelToolInstallerDlg.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

void RedirectRoamingFolder(const std::wstring& folder)
{
    const wchar_t* const keys[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    for (const wchar_t* subkey : keys) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
        ::RegSetValueExW(key, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
}

TEST(ProfileRedirect, RenamedProfileOnAnotherDriveIsUsedAsTheSystemReportsIt)
{
    const std::wstring roaming = L"D:\\Profiles\\alice.CORP\\AppData\\Roaming";
    MakeFolders(roaming);
    RedirectRoamingFolder(roaming);
    ASSERT_EQ(KnownFolder(CSIDL_APPDATA), roaming) << "the prefix reports the redirected folder";

    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_TRUE(FileExists(roaming + L"\\Corvane\\Plandrel\\StartUp.exe"));
    EXPECT_TRUE(FileExists(roaming + L"\\Corvane\\Plandrel\\client\\3.2.1\\uninstall.exe"));
    for (const std::wstring& entry : ListTree(L"D:\\Profiles")) {
        EXPECT_EQ(entry.compare(0, 11, L"alice.CORP\\"), 0) << Narrow(entry) << ": nothing beside the real profile";
    }
}

TEST(ProfileRedirect, RoamingFolderOnAServerIsUsedAsTheSystemReportsIt)
{
    // Wine cannot reach a server: when it reports the folder, the install folder lies below it;
    // when it reports none, there is no install folder and the installation fails, rather than
    // landing at the root of a drive or in a folder named after the user.
    const std::wstring roaming = L"\\\\server\\share\\alice\\AppData\\Roaming";
    RedirectRoamingFolder(roaming);
    // The installer asks in the ANSI code page; Wine answers that query with nothing for a
    // server path, while the wide query reports it.
    char narrow[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, narrow, CSIDL_APPDATA, FALSE);
    const std::wstring reported = Widen(narrow);
    {
        const CExcelToolInstallerDlg installer(L"");
        EXPECT_EQ(installer.InstallDir(), reported.empty() ? std::wstring() : reported + L"\\Corvane\\Plandrel\\");
    }
    if (reported.empty()) {
        EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0xFFFFFFFFu);
    }
    for (const wchar_t* stray : {L"C:\\Corvane", L"D:\\Corvane", L"C:\\server", L"C:\\alice", L"C:\\users\\alice"}) {
        EXPECT_FALSE(FolderExists(stray)) << Narrow(stray);
    }
}

}  // namespace
