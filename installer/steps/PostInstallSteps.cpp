// What follows the unpacking, in both modes: the configuration record, the shortcuts, the
// recording library, the companion client's setup, and the .NET prerequisite. None of these
// steps can stop the installation or change its result.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlwapi.h>

#include "archive/EntryName.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"
#include "installer/steps/InstallRecorder.h"
#include "installer/steps/RunProgram.h"

namespace {

constexpr int kRemoveAttempts = 8;
constexpr DWORD kRemoveRetryMs = 500;

// The client version folder names one folder below client\: anything that could lead
// elsewhere (separators, "..", a drive) is not used.
std::wstring ClientVersionFolder(const std::wstring& current)
{
    if (current.find_first_of(L"\\/") != std::wstring::npos) return std::wstring();
    return IsSafeEntryName(framework::WideToAnsi(current).get()) ? current : std::wstring();
}

void LogConfigurationRecord(bool read, const std::wstring& path, const std::wstring& clientVersion)
{
    if (read) {
        InstallLog::Instance().Step(L"configuration record", L"client version " + clientVersion);
    } else {
        InstallLog::Instance().Failure(L"configuration record", L"LocalConfig.xml cannot be read", path, ERROR_SUCCESS);
    }
}

void LogRecording(bool loaded, const std::wstring& library, DWORD loadError)
{
    if (loaded) {
        InstallLog::Instance().Step(L"recording library", L"installation reported to " + library);
    } else {
        InstallLog::Instance().Failure(L"recording library", L"the library cannot be loaded", library, loadError);
    }
}

void RemoveWithRetries(const std::wstring& path)
{
    for (int attempt = 1; attempt <= kRemoveAttempts; ++attempt) {
        if (!::PathFileExistsW(path.c_str()) || ::DeleteFileW(path.c_str())) return;
        if (attempt < kRemoveAttempts) ::Sleep(kRemoveRetryMs);
    }
}

}  // namespace

void CExcelToolInstallerDlg::RunPostInstallSteps(Mode mode)
{
    std::wstring appId, libId, current;
    const bool configRead = ReadLocalConfig(appId, libId, current);
    current = ClientVersionFolder(current);
    LogConfigurationRecord(configRead, m_strInstallDir + L"LocalConfig.xml", current);
    const std::wstring clientFolder = m_strInstallDir + L"client\\" + current;

    CreateShortcutsWithFallback(clientFolder + L"\\uninstall.exe", m_strLaunchPath);
    RecordInstallation(libId, current, mode);
    RunAndRemoveClientProgram();
    if (mode == Mode::Wizard) {
        InstallDotNet();
    } else {
        InstallDotNetSilent();
    }
}

void CExcelToolInstallerDlg::RecordInstallation(const std::wstring& libId, const std::wstring& current, Mode mode)
{
    InstallRecorder& recorder = InstallRecorder::Instance();
    const std::wstring library = m_strInstallDir + L"client\\" + current + L"\\Lib\\Brenvik.dll";
    recorder.Load(framework::WideToAnsi(libId).str(), framework::WideToAnsi(current).str(), framework::WideToAnsi(library).str());
    const DWORD loadError = ::GetLastError();
    // Only a silent installation passes on where it came from.
    recorder.RecordInstall(mode == Mode::Silent ? framework::WideToAnsi(m_strInFrom).str() : std::string());
    LogRecording(recorder.IsLoaded(), library, loadError);
    recorder.Unload();
}

void CExcelToolInstallerDlg::RunAndRemoveClientProgram()
{
    const std::wstring client = m_strInstallDir + L"VantorCenter_Client.exe";
    // Twice: the second pass only does something when the first could not remove the file.
    for (int pass = 0; pass < 2; ++pass) {
        if (!::PathFileExistsW(client.c_str())) return;
        // A client setup that cannot even be started counts as one that failed: the client is
        // not set up, and the installation goes on.
        if (IsClientInstalled()) {
            InstallLog::Instance().Step(L"client setup", L"not run, the client is installed already");
        } else if (!RunHiddenAndWait(client, L"-silent")) {
            const DWORD error = ::GetLastError();
            ::OutputDebugStringW(L"客户端安装程序无法启动，未能安装客户端\n");
            InstallLog::Instance().Failure(L"client setup", L"the program cannot be started", client, error);
        } else {
            InstallLog::Instance().Step(L"client setup", L"ran " + client);
        }
        RemoveWithRetries(client);
    }
}
