// What follows the unpacking, in both modes: the configuration record, the shortcuts, the
// recording library, the companion client's setup, and the .NET prerequisite. None of these
// steps can stop the installation or change its result.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlwapi.h>

#include "archive/EntryName.h"
#include "framework/Text.h"
#include "installer/InstallRecorder.h"
#include "installer/RunProgram.h"

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
    ReadLocalConfig(appId, libId, current);
    current = ClientVersionFolder(current);
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
    // Only a silent installation passes on where it came from.
    recorder.RecordInstall(mode == Mode::Silent ? framework::WideToAnsi(m_strInFrom).str() : std::string());
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
        if (!IsClientInstalled() && !RunHiddenAndWait(client, L"-silent")) {
            ::OutputDebugStringW(L"客户端安装程序无法启动，未能安装客户端\n");
        }
        RemoveWithRetries(client);
    }
}
