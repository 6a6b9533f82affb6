// The three shell links of an installation: the program in a start-menu group (brand folder
// 栖杉坊, then the product), the program on the desktop, and the uninstaller in the group. They
// go to the current user's folders; only when that fails is the set made for all users.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "archive/FileUtils.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"
#include "installer/ProfilePath.h"

namespace {

struct ScopeFolders {
    int programs;
    int desktop;
};

constexpr ScopeFolders kCurrentUser{CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY};
constexpr ScopeFolders kAllUsers{CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY};

// The folder part of a path: everything before its last backslash (the whole path without one).
std::wstring FolderOf(const std::wstring& path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? path : path.substr(0, last);
}

void PointLinkAt(IShellLinkW* link, const std::wstring& target)
{
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(FolderOf(target).c_str());
}

bool SaveLink(IPersistFile* file, const std::wstring& path)
{
    const HRESULT result = file->Save(path.c_str(), TRUE);
    if (SUCCEEDED(result)) {
        InstallLog::Instance().Step(L"shortcut", path);
        return true;
    }
    ::OutputDebugStringW((L"***save " + path + L" failed").c_str());
    InstallLog::Instance().Failure(L"shortcut", L"the link cannot be saved", path, static_cast<DWORD>(result));
    return false;
}

}  // namespace

bool CExcelToolInstallerDlg::CreateShortcutsWithFallback(std::wstring uninstaller, std::wstring launcher)
{
    if (CreateShortcuts(uninstaller, launcher, false)) return true;
    return CreateShortcuts(uninstaller, launcher, true);
}

bool CExcelToolInstallerDlg::CreateShortcuts(std::wstring uninstaller, std::wstring launcher, bool allUsers)
{
    const framework::ComApartment apartment;
    const ScopeFolders& scope = allUsers ? kAllUsers : kCurrentUser;
    std::wstring group;
    bool success = false;
    {
        framework::ComPtr<IShellLinkW> link;
        framework::ComPtr<IPersistFile> file;
        HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.receive());
        if (FAILED(result)) {
            ::OutputDebugStringA("***CoCreateInstance failed.");
        } else if (FAILED(result = link->QueryInterface(IID_IPersistFile, file.receive()))) {
            ::OutputDebugStringA("***QueryInterface failed");
        } else {
            group = framework::Format(L"%ls\\栖杉坊\\%ls", UserShellFolder(scope.programs, m_hUserToken.get()).c_str(), m_strProductName.c_str());
            const std::wstring icon = m_strInstallDir + L"tool.ico";
            ensure_folder(group.c_str());

            PointLinkAt(link.get(), launcher);
            if (::PathFileExistsW(icon.c_str())) link->SetIconLocation(icon.c_str(), 0);
            success = SaveLink(file.get(), framework::Format(L"%ls\\%ls.lnk", group.c_str(), m_strProductName.c_str())) &&
                      SaveLink(file.get(), framework::Format(L"%ls\\%ls.lnk", UserShellFolder(scope.desktop, m_hUserToken.get()).c_str(),
                                                             m_strProductName.c_str()));
            if (success) {
                ::Sleep(500);
                PointLinkAt(link.get(), uninstaller);
                // No icon of its own: the shell shows the uninstaller's.
                link->SetIconLocation(L"", 0);
                success = SaveLink(file.get(), framework::Format(L"%ls\\卸载%ls.lnk", group.c_str(), m_strProductName.c_str()));
            }
        }
        if (FAILED(result)) {
            InstallLog::Instance().Failure(L"shortcut", L"the shell's link object is not available", L"", static_cast<DWORD>(result));
        }
        // The interfaces are released here, the persist-file one first, before COM ends.
    }
    if (!success && !group.empty()) delete_folder(group.c_str(), false, false);
    return success;
}
