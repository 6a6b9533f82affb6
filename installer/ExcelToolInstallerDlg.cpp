// Construction of the installer object: the product's name and the two folders every
// installation works in.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlobj.h>

#include "archive/FileUtils.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"
#include "installer/ProfilePath.h"
#include "resources/resource.h"

namespace {

// Both folders are asked for in UTF-16: through the ANSI code page a profile named Zoë or 김민수
// on a Chinese system would come back with '?' in it, a folder that does not exist.
std::wstring QueryRoamingFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE);
    return folder;
}

std::wstring QueryTempFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) folder[0] = L'\0';
    return folder;
}

}  // namespace

CExcelToolInstallerDlg::CExcelToolInstallerDlg(std::wstring inFrom, HWND parent)
    : framework::Dialog(IDD_INSTALLER, parent), m_strInFrom(std::move(inFrom))
{
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    GetSessionUserName(m_strSessionUser);
    m_nPage = 0;

    FixInstallFolder();
    m_strTempDir = QueryTempFolder();
}

CExcelToolInstallerDlg::~CExcelToolInstallerDlg() = default;

void CExcelToolInstallerDlg::FixInstallFolder()
{
    InstallLog& log = InstallLog::Instance();
    // Without a roaming folder there is no install folder: the product is never put at the root
    // of a drive, and the installation then fails.
    const std::wstring reported = QueryRoamingFolder();
    if (reported.empty()) {
        log.Failure(L"install folder", L"the system reports no roaming application-data folder", L"", ::GetLastError());
        return;
    }
    ResolvedProfile profile = ResolveRoamingFolder(reported, m_strSessionUser, GetProcessUserName(), SystemProfileQueries());
    if (profile.roaming.empty()) {
        log.Failure(L"install folder", profile.failure, reported, ::GetLastError());
        return;
    }
    m_hUserToken = std::move(profile.userToken);
    m_strInstallDir = profile.roaming + L"\\Corvane\\Plandrel\\";
    log.Note(L"install folder: " + m_strInstallDir);
    // The folder exists from the start in both modes, also when a wizard run is then cancelled.
    ::SetLastError(ERROR_SUCCESS);
    if (ensure_folder(m_strInstallDir.c_str()) != FILEUTIL_OK) {
        log.Failure(L"install folder", L"the folder cannot be created", m_strInstallDir, ::GetLastError());
    }
}
