// The steps after the unpacking: recording library, companion client, .NET prerequisite. This
// program carries the stand-in redistributable as its own resource EXE 227.
#include <gtest/gtest.h>

#include "installer/steps/DotNetPrerequisite.h"
#include "tests/support/InstallerUnderTest.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const wchar_t kDotNetKey[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";

std::wstring ClientLog()
{
    return KnownFolder(CSIDL_APPDATA) + L"\\Vantor Apps\\Client\\setup-runs.log";
}

int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

void SetDotNetInstall(DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDotNetKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Install", 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}

DWORD DotNetInstallValue()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDotNetKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xFFFF;
    ::RegQueryValueExW(key, L"Install", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return value;
}

class PostInstallSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDotNetKey);
        ::DeleteFileW(redistributable.c_str());
    }

    void PlaceRecorder()
    {
        MakeFolders(installer.InstallDir() + L"client\\3.2.1\\Lib");
        ASSERT_TRUE(::CopyFileW(BuildFile(L"sample/Brenvik.dll").c_str(), library.c_str(), FALSE));
    }

    void PlaceClientProgram()
    {
        ASSERT_TRUE(::CopyFileW(BuildFile(L"sample/VantorCenter_Client.exe").c_str(), client.c_str(), FALSE));
    }

    InstallerUnderTest installer{L"abc"};
    const std::wstring library = installer.InstallDir() + L"client\\3.2.1\\Lib\\Brenvik.dll";
    const std::wstring record = installer.InstallDir() + L"client\\3.2.1\\Lib\\InstallRecord.txt";
    const std::wstring client = installer.InstallDir() + L"VantorCenter_Client.exe";
    const std::wstring redistributable = installer.TempDir() + L"~dotnet2.0.exe";
};

TEST_F(PostInstallSteps, SilentRecordingPassesTheOriginTag)
{
    PlaceRecorder();
    installer.RecordInstallation(L"LIB-1", L"3.2.1", InstallerUnderTest::Mode::Silent);
    EXPECT_EQ(ReadFileBytes(record), "SetClientInfo libID=LIB-1 version=3.2.1\r\nRecordInstallAct origin=abc\r\n");
    EXPECT_TRUE(::DeleteFileW(library.c_str())) << "the library is released after the recording";
}

TEST_F(PostInstallSteps, WizardRecordingPassesTheEmptyText)
{
    PlaceRecorder();
    installer.RecordInstallation(L"LIB-1", L"3.2.1", InstallerUnderTest::Mode::Wizard);
    EXPECT_EQ(ReadFileBytes(record), "SetClientInfo libID=LIB-1 version=3.2.1\r\nRecordInstallAct origin=\r\n");
}

TEST_F(PostInstallSteps, MissingLibraryIsSkipped)
{
    ::DeleteFileW(library.c_str());
    installer.RecordInstallation(L"LIB-1", L"3.2.1", InstallerUnderTest::Mode::Silent);
    EXPECT_FALSE(FileExists(record));
}

TEST_F(PostInstallSteps, ClientProgramRunsOnceAndIsRemoved)
{
    PlaceClientProgram();
    installer.RunAndRemoveClientProgram();
    EXPECT_FALSE(FileExists(client));
    EXPECT_EQ(CountLines(ReadFileBytes(ClientLog())), 1);
    EXPECT_TRUE(installer.IsClientInstalled());
}

TEST_F(PostInstallSteps, PresentClientIsNotStartedButItsSetupIsStillRemoved)
{
    TempFolder temp;
    WriteFileBytes(temp / L"client.exe", "installed client");
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Apps", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const std::wstring value = temp / L"client.exe";
    ::RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    PlaceClientProgram();
    installer.RunAndRemoveClientProgram();
    EXPECT_FALSE(FileExists(client));
    EXPECT_FALSE(FileExists(ClientLog())) << "not started";
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Apps");
}

TEST_F(PostInstallSteps, ClientProgramHeldOpenGoesThroughTheRetriesAndTheStepEnds)
{
    PlaceClientProgram();
    // Readable and runnable, but not deletable while the handle is open.
    HANDLE held = ::CreateFileW(client.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    installer.RunAndRemoveClientProgram();
    EXPECT_TRUE(FileExists(client)) << "left where it is after every attempt";
    EXPECT_EQ(CountLines(ReadFileBytes(ClientLog())), 1) << "the second pass finds the client installed";
    ::CloseHandle(held);
}

TEST_F(PostInstallSteps, NoClientProgramMeansNothingHappens)
{
    ::DeleteFileW(client.c_str());
    installer.RunAndRemoveClientProgram();
    EXPECT_FALSE(FileExists(ClientLog()));
}

TEST_F(PostInstallSteps, InstalledDotNetStartsNothing)
{
    const DWORD one = 1;
    SetDotNetInstall(REG_DWORD, &one, sizeof(one));
    EXPECT_TRUE(IsDotNet20Installed());
    installer.InstallDotNetSilent();
    EXPECT_FALSE(FileExists(redistributable));
}

TEST_F(PostInstallSteps, MissingDotNetRunsTheRedistributableAndWaitsForIt)
{
    EXPECT_FALSE(IsDotNet20Installed());
    installer.InstallDotNetSilent();
    EXPECT_TRUE(FileExists(redistributable));
    EXPECT_EQ(DotNetInstallValue(), 1u) << "the stand-in registered the framework before the step returned";
}

TEST_F(PostInstallSteps, InstallValueOtherThanTheNumberOneCountsAsMissing)
{
    const DWORD zero = 0;
    SetDotNetInstall(REG_DWORD, &zero, sizeof(zero));
    EXPECT_FALSE(IsDotNet20Installed());
    const wchar_t text[] = L"1";
    SetDotNetInstall(REG_SZ, text, sizeof(text));
    EXPECT_FALSE(IsDotNet20Installed()) << "the text 1 is not the number 1";
    const wchar_t longer[] = L"installed";
    SetDotNetInstall(REG_SZ, longer, sizeof(longer));
    EXPECT_FALSE(IsDotNet20Installed()) << "a longer value does not fit";
    installer.InstallDotNetSilent();
    EXPECT_EQ(DotNetInstallValue(), 1u);
}

}  // namespace
