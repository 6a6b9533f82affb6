// The last post-install step: when .NET Framework 2.0 is missing, the embedded redistributable
// is written to the temporary folder, started and waited for.
#include "installer/steps/DotNetPrerequisite.h"

#include "controls/MyMsgDlg.h"
#include "framework/Text.h"
#include "installer/ExcelToolInstallerDlg.h"
#include "installer/InstallLog.h"
#include "installer/steps/RunProgram.h"
#include "resources/resource.h"

namespace {
const wchar_t kDotNetFailure[] = L".net环境安装失败！请手动安装";
}

bool ReadRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, DWORD, void* data, DWORD size)
{
    framework::RegKey key;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return false;
    return ::RegQueryValueExW(key.get(), valueName, nullptr, nullptr, static_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
}

bool IsDotNet20Installed()
{
    DWORD install = 0;
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", L"Install",
                             REG_DWORD, &install, sizeof(install)) &&
           install == 1;
}

namespace {

constexpr wchar_t kDotNetStep[] = L".NET Framework 2.0";

bool DotNetPresent()
{
    const bool present = IsDotNet20Installed();
    if (present) InstallLog::Instance().Step(kDotNetStep, L"installed already");
    return present;
}

void RunRedistributable(const std::wstring& path)
{
    if (RunProgram(path, true, INFINITE)) {
        InstallLog::Instance().Step(kDotNetStep, L"missing, the redistributable ran: " + path);
    } else {
        InstallLog::Instance().Failure(kDotNetStep, L"missing, and the redistributable cannot be started", path, ::GetLastError());
    }
}

}  // namespace

bool CExcelToolInstallerDlg::ExtractDotNetRedistributable(std::wstring& path)
{
    path = m_strTempDir + L"~dotnet2.0.exe";
    return ExtractResourceToFile(framework::WideToAnsi(path).str(), IDR_DOTNET, "EXE");
}

void CExcelToolInstallerDlg::InstallDotNet()
{
    if (DotNetPresent()) return;
    std::wstring path;
    if (!ExtractDotNetRedistributable(path)) {
        ShowMyMsgDlg(MSGDLG_ERROR, kDotNetFailure, -1, GetSafeHwnd());
        return;
    }
    RunRedistributable(path);
}

void CExcelToolInstallerDlg::InstallDotNetSilent()
{
    if (DotNetPresent()) return;
    std::wstring path;
    if (!ExtractDotNetRedistributable(path)) {
        ::OutputDebugStringW(kDotNetFailure);
        return;
    }
    RunRedistributable(path);
}
