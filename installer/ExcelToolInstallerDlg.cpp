// Construction of the installer object: the product's name and the two folders every
// installation works in.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlobj.h>

#include "framework/Text.h"
#include "installer/ProfilePath.h"
#include "resources/resource.h"

namespace {

std::wstring QueryRoamingFolder()
{
    char folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
    return framework::AnsiToWide(folder).str();
}

std::wstring QueryTempFolder()
{
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) folder[0] = '\0';
    return framework::AnsiToWide(folder).str();
}

}  // namespace

CExcelToolInstallerDlg::CExcelToolInstallerDlg(std::wstring inFrom, HWND parent)
    : framework::Dialog(IDD_INSTALLER, parent), m_strInFrom(std::move(inFrom))
{
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    GetSessionUserName(m_strSessionUser);
    m_nPage = 0;

    // Without a roaming folder there is no install folder: the product is never put at the root
    // of a drive, and the installation then fails.
    const std::wstring roaming = QueryRoamingFolder();
    if (!roaming.empty()) {
        m_strInstallDir = ResolveRoamingFolder(roaming, m_strSessionUser, GetProcessUserName()) + L"\\Corvane\\Plandrel\\";
        // The folder exists from the start in both modes, also when a wizard run is then cancelled.
        ::SHCreateDirectoryExW(nullptr, m_strInstallDir.c_str(), nullptr);
    }

    m_strTempDir = QueryTempFolder();
}

CExcelToolInstallerDlg::~CExcelToolInstallerDlg() = default;
