// DLLs planted beside setup.exe, with Wine told to prefer them to its own: setup.exe must load
// none of them, in silent and in wizard mode.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// version.dll is left out: Wine's own user32 imports it, so the loader brings it in before any
// code of setup.exe runs; on Windows user32 does not import it.
const wchar_t* const kPlanted[] = {L"riched32.dll", L"wtsapi32.dll", L"uxtheme.dll", L"riched20.dll", L"msimg32.dll",
                                   L"comctl32.dll"};

class PlantedDlls : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree(L"C:\\planted");
        ASSERT_TRUE(::CopyFileW(SetupExePath().c_str(), setup.c_str(), FALSE));
        // Wine would otherwise keep to its own built-in DLLs whatever lies beside the program.
        HKEY overrides = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &overrides, nullptr),
                  ERROR_SUCCESS);
        for (const wchar_t* name : kPlanted) {
            ASSERT_TRUE(::CopyFileW(BuildFile(L"tests/hardening/planted.dll").c_str(), (folder / name).c_str(), FALSE));
            const std::wstring stem = std::wstring(name).substr(0, std::wstring(name).find(L'.'));
            const wchar_t nativeFirst[] = L"native,builtin";
            ::RegSetValueExW(overrides, stem.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(nativeFirst), sizeof(nativeFirst));
        }
        ::RegCloseKey(overrides);
    }

    static std::vector<std::wstring> Markers() { return FolderExists(L"C:\\planted") ? ListTree(L"C:\\planted") : std::vector<std::wstring>{}; }

    TempFolder folder;
    std::wstring setup = folder / L"setup.exe";
};

TEST_F(PlantedDlls, AProgramThatDoesNotRestrictItsSearchLoadsThem)
{
    const std::wstring loader = folder / L"loader.exe";
    ASSERT_TRUE(::CopyFileW(BuildFile(L"tests/hardening/unprotected_loader.exe").c_str(), loader.c_str(), FALSE));
    std::wstring names;
    for (const wchar_t* name : kPlanted) names += std::wstring(L" ") + name;
    EXPECT_EQ(RunAndWait(loader, names), 0u);
    EXPECT_EQ(Markers().size(), sizeof(kPlanted) / sizeof(kPlanted[0]));
}

TEST_F(PlantedDlls, SilentInstallationLoadsNone)
{
    EXPECT_EQ(RunAndWait(setup, L"-silent"), 0u);
    EXPECT_TRUE(FileExists(InstallFolder() + L"StartUp.exe"));
    EXPECT_EQ(Markers(), std::vector<std::wstring>{});
}

TEST_F(PlantedDlls, WizardLoadsNone)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + setup + L"\"";
    ASSERT_TRUE(::CreateProcessW(setup.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    HWND wizard = nullptr;
    for (int i = 0; i < 300 && !wizard; ++i) {
        wizard = ::FindWindowW(nullptr, L"绘途-安装向导");
        if (!wizard) ::Sleep(100);
    }
    ASSERT_NE(wizard, nullptr) << "the wizard came up with its agreement box";
    EXPECT_NE(::FindWindowExW(wizard, nullptr, L"RICHEDIT", nullptr), nullptr);
    ::PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(Markers(), std::vector<std::wstring>{});
}

}  // namespace
