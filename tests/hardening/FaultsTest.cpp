// Installations that meet trouble: a temporary folder that cannot be written, a product file
// held open, running or loaded during an upgrade (and the program that holds it named), a client
// setup that crashes or is no program at all, an absurd command line.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardDriver.h"

using namespace testing_support;

namespace {

constexpr DWORD kFailed = 0xFFFFFFFF;

std::vector<std::wstring> InstalledFiles()
{
    return ListTree(InstallFolder());
}

// This test program, which stands for Excel with the product's add-in loaded.
std::wstring OwnFileName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    return full.substr(full.find_last_of(L'\\') + 1);
}

std::wstring LibraryPath(const std::wstring& folder)
{
    return folder + L"client\\3.2.1\\Lib\\Brenvik.dll";
}

// The install log as text; "" when there is none.
std::string LogText(const std::wstring& path)
{
    return FileExists(path) ? ReadFileBytes(path) : std::string();
}

std::string Utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                                       static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

TEST(Faults, TemporaryFolderThatCannotBeWrittenFailsTheInstallation)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::vector<std::wstring> before = InstalledFiles();
    wchar_t temp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", L"C:\\no\\such\\temp");
    ::SetEnvironmentVariableW(L"TMP", L"C:\\no\\such\\temp");
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), kFailed);
    ::SetEnvironmentVariableW(L"TEMP", temp);
    ::SetEnvironmentVariableW(L"TMP", temp);
    EXPECT_EQ(InstalledFiles(), before) << "the earlier installation is untouched";
    EXPECT_FALSE(FolderExists(L"C:\\no"));
}

TEST(Faults, ProductFileHeldOpenDuringAnUpgradeKeepsTheEarlierInstallation)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::vector<std::wstring> before = InstalledFiles();
    const std::wstring launcher = InstallFolder() + L"StartUp.exe";
    const std::string launcherBytes = ReadFileBytes(launcher);
    // As a running product holds its files: readable by others, not deletable.
    HANDLE held = ::CreateFileW(launcher.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), kFailed);
    ::CloseHandle(held);
    EXPECT_EQ(InstalledFiles(), before);
    EXPECT_EQ(ReadFileBytes(launcher), launcherBytes);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u) << "once the file is free, the upgrade goes through";
}

// The installed launcher, started and running (a window of its own) until the owner ends it.
class RunningLauncher {
public:
    RunningLauncher()
    {
        const std::wstring exe = InstallFolder() + L"StartUp.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process)) {
            ::WaitForInputIdle(m_process.hProcess, 30000);
        }
    }
    ~RunningLauncher()
    {
        if (!m_process.hProcess) return;
        ::TerminateProcess(m_process.hProcess, 0);
        ::WaitForSingleObject(m_process.hProcess, 30000);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    RunningLauncher(const RunningLauncher&) = delete;
    RunningLauncher& operator=(const RunningLauncher&) = delete;

    bool Running() const { return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION m_process{};
};

TEST(Faults, RunningProductKeepsTheEarlierInstallation)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::map<std::wstring, std::string> before = ReadTree(InstallFolder());
    {
        const RunningLauncher launcher;
        ASSERT_TRUE(launcher.Running());
        EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), kFailed);
        EXPECT_TRUE(launcher.Running());
    }
    EXPECT_EQ(ReadTree(InstallFolder()), before);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u) << "once the product has ended, the upgrade goes through";
}

TEST(Faults, ProductLibraryLoadedByAnotherProcessKeepsTheEarlierInstallation)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::map<std::wstring, std::string> before = ReadTree(InstallFolder());
    HMODULE library = ::LoadLibraryW(LibraryPath(InstallFolder()).c_str());
    ASSERT_NE(library, nullptr);
    const TempFolder logs;
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent -log \"" + logs / L"setup.log" + L"\""), kFailed);
    ::FreeLibrary(library);
    EXPECT_EQ(ReadTree(InstallFolder()), before);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
    // The administrator learns which program to close.
    const std::string named = Utf8(L"in use by: " + OwnFileName() + L" (process ") + std::to_string(::GetCurrentProcessId()) + ")";
    EXPECT_NE(LogText(logs / L"setup.log").find(named), std::string::npos) << LogText(logs / L"setup.log");
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
}

TEST(Faults, WizardNamesTheProgramHoldingTheProductAndRetriesOnceItHasLetGo)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    WriteFileBytes(InstallFolder() + L"earlier.txt", "only in the earlier installation");
    HMODULE library = ::LoadLibraryW(LibraryPath(InstallFolder()).c_str());
    ASSERT_NE(library, nullptr);
    const TempFolder logs;
    const wizard_driver::Process setup(SetupExePath(), L"-log \"" + logs / L"setup.log" + L"\"");
    const HWND wizard = wizard_driver::WaitForProcessWindow(setup.id(), wizard_driver::kWizardTitle, 60000);
    ASSERT_NE(wizard, nullptr);
    wizard_driver::Click(wizard, IDC_CHK_AGREE);
    wizard_driver::Click(wizard, IDC_BTN_INSTALL);

    const HWND box = wizard_driver::WaitForProcessWindow(setup.id(), wizard_driver::kMessageBoxTitle, 120000);
    ASSERT_NE(box, nullptr);
    wchar_t retry[16] = {}, cancel[16] = {};
    ::GetWindowTextW(::GetDlgItem(box, IDC_BTN_MSG_OK), retry, 16);
    ::GetWindowTextW(::GetDlgItem(box, IDC_BTN_MSG_CANCEL), cancel, 16);
    EXPECT_EQ(std::wstring(retry), L"重试");
    EXPECT_EQ(std::wstring(cancel), L"取消");
    EXPECT_NE(LogText(logs / L"setup.log").find(Utf8(L"in use by: " + OwnFileName())), std::string::npos);
    EXPECT_TRUE(FileExists(InstallFolder() + L"earlier.txt")) << "nothing changes while the user decides";

    ::FreeLibrary(library);
    wizard_driver::Click(box, IDC_BTN_MSG_OK);
    ASSERT_TRUE(wizard_driver::WaitFor([&] { return wizard_driver::IsShown(wizard, IDC_BTN_FINISH); }, 120000));
    EXPECT_FALSE(FileExists(InstallFolder() + L"earlier.txt")) << "the upgrade went through";
    EXPECT_TRUE(FileExists(LibraryPath(InstallFolder())));
    EXPECT_EQ(wizard_driver::FindProcessWindow(setup.id(), wizard_driver::kMessageBoxTitle), nullptr)
        << "no failure is shown after the retry";
    if (wizard_driver::IsChecked(wizard, IDC_CHK_LAUNCH)) wizard_driver::Click(wizard, IDC_CHK_LAUNCH);
    wizard_driver::Click(wizard, IDC_BTN_FINISH);
    DWORD status = 0xDEADBEEF;
    EXPECT_TRUE(setup.WaitForExit(60000, status));
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
}

TEST(Faults, LibraryStillLoadedFromTheSetAsideInstallationNeverBlocksLaterUpgrades)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    // What an upgrade leaves when Excel still had the earlier add-in loaded: its library in the
    // set-aside folder, which cannot be deleted while it is loaded.
    const std::wstring setAside = KnownFolder(CSIDL_APPDATA) + L"\\Corvane\\Plandrel.old\\";
    MakeFolders(setAside + L"client\\3.2.1\\Lib");
    ASSERT_TRUE(::CopyFileW(LibraryPath(InstallFolder()).c_str(), LibraryPath(setAside).c_str(), FALSE));
    HMODULE library = ::LoadLibraryW(LibraryPath(setAside).c_str());
    ASSERT_NE(library, nullptr);
    WriteFileBytes(InstallFolder() + L"earlier.txt", "only in the earlier installation");

    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_FALSE(FileExists(InstallFolder() + L"earlier.txt")) << "the new product is in place";
    EXPECT_FALSE(FolderExists(setAside)) << "the name is free for the next swap";
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u) << "and the next upgrade too";

    ::FreeLibrary(library);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>()) << "once free, what was moved aside is gone";
}

TEST(Faults, CrashingClientSetupDoesNotStopTheInstallation)
{
    const std::string archive = ZipBuilder()
                                    .File("StartUp.exe", ReadFileBytes(BuildFile(L"sample/StartUp.exe")))
                                    .File("LocalConfig.xml", SampleProductEntry("LocalConfig.xml"))
                                    .File("VantorCenter_Client.exe", ReadFileBytes(BuildFile(L"tests/hardening/crashing_client.exe")))
                                    .Build();
    TempFolder folder;
    CopySetupWithResource(folder / L"setup.exe", L"INSTALLDATA", 199, &archive);
    // No crash report may hold the installation: it ends by itself, and normally.
    EXPECT_EQ(RunAndWait(folder / L"setup.exe", L"-silent", 60000), 0u);
    EXPECT_FALSE(FileExists(InstallFolder() + L"VantorCenter_Client.exe"));
    EXPECT_TRUE(FileExists(InstallFolder() + L"StartUp.exe"));
}

TEST(Faults, ClientSetupThatIsNoProgramLeavesASilentInstallationToEndByItself)
{
    const std::string archive = ZipBuilder()
                                    .File("StartUp.exe", SampleProductEntry("StartUp.exe"))
                                    .File("LocalConfig.xml", SampleProductEntry("LocalConfig.xml"))
                                    .File("client/3.2.1/uninstall.exe", SampleProductEntry("client/3.2.1/uninstall.exe"))
                                    .File("client/3.2.1/Lib/Brenvik.dll", SampleProductEntry("client/3.2.1/Lib/Brenvik.dll"))
                                    .File("VantorCenter_Client.exe", "Not a program: a damaged or quarantined download.\r\n")
                                    .Build();
    TempFolder folder;
    CopySetupWithResource(folder / L"setup.exe", L"INSTALLDATA", 199, &archive);

    // The shell's box about a file it cannot start would appear, and hold the run until the end
    // of the wait.
    const wizard_driver::Process setup(folder / L"setup.exe", L"-silent -inFrom tag");
    ASSERT_TRUE(setup.started());
    bool windowShown = false;
    DWORD status = 0xDEADBEEF;
    wizard_driver::WaitFor(
        [&] {
            windowShown = windowShown || wizard_driver::FindProcessWindow(setup.id(), nullptr) != nullptr;
            return setup.WaitForExit(0, status);
        },
        60000);
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(windowShown);

    // Everything else was done: the product, the record of the installation, the shortcuts and
    // the .NET prerequisite, which comes after the client.
    EXPECT_FALSE(FileExists(InstallFolder() + L"VantorCenter_Client.exe"));
    EXPECT_TRUE(FileExists(InstallFolder() + L"StartUp.exe"));
    EXPECT_EQ(ReadFileBytes(InstallFolder() + L"client\\3.2.1\\Lib\\InstallRecord.txt"),
              "SetClientInfo libID=PLD-2026-001 version=3.2.1\r\nRecordInstallAct origin=tag\r\n");
    EXPECT_TRUE(FileExists(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk") ||
                FileExists(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\绘途.lnk"));
    EXPECT_EQ(DotNet20InstallValue(), 1u);
}

TEST(Faults, TenThousandArguments)
{
    std::wstring arguments = L"-silent -inFrom tag";
    for (int i = 0; i < 9997; ++i) arguments += L" -x";
    EXPECT_EQ(RunAndWait(SetupExePath(), arguments), 0u);
    EXPECT_EQ(ReadFileBytes(InstallFolder() + L"client\\3.2.1\\Lib\\InstallRecord.txt"),
              "SetClientInfo libID=PLD-2026-001 version=3.2.1\r\nRecordInstallAct origin=tag\r\n");
}

}  // namespace
