#include "installer/upgrade/UpgradeRecovery.h"

#include <windows.h>

#include "framework/ScopedHandle.h"
#include "installer/InstallLog.h"
#include "installer/upgrade/FolderSwap.h"
#include "installer/upgrade/Leftovers.h"
#include "installer/upgrade/UpgradeFolders.h"

namespace {

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The set-aside earlier installation is a real folder; anything else of that name (a link, a
// file) is not put in the install folder's place but removed.
bool IsRealFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool PutBackEarlierInstallation(const UpgradeFolders& folders)
{
    const DWORD error = RenameWithRetry(folders.previous, folders.install);
    if (error == ERROR_SUCCESS) return true;
    InstallLog::Instance().Failure(L"recovered", L"the earlier installation could not be put back in place",
                                   folders.previous, error);
    return false;
}

bool SettleSetAsideInstallation(const UpgradeFolders& folders, const FolderInspection& inspect)
{
    if (!IsRealFolder(folders.previous)) return DeleteOrMoveAside(folders.previous, folders);
    switch (inspect(folders.install)) {
    case FolderContent::Missing:
    case FolderContent::Empty: return PutBackEarlierInstallation(folders);
    case FolderContent::Filled: return DeleteOrMoveAside(folders.previous, folders);
    case FolderContent::Unknown: break;
    }
    // Neither copy may go on a guess: the set-aside one may be the only whole installation.
    InstallLog::Instance().Failure(L"recovered", L"the install folder cannot be listed; both folders are left as they are",
                                   folders.install, ::GetLastError());
    return false;
}

}  // namespace

FolderContent InspectFolder(const std::wstring& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FolderContent::Missing : FolderContent::Unknown;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return FolderContent::Filled;
    WIN32_FIND_DATAW entry;
    framework::FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!search) return ::GetLastError() == ERROR_FILE_NOT_FOUND ? FolderContent::Empty : FolderContent::Unknown;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") return FolderContent::Filled;
    } while (::FindNextFileW(search.get(), &entry));
    return ::GetLastError() == ERROR_NO_MORE_FILES ? FolderContent::Empty : FolderContent::Unknown;
}

bool RecoverInterruptedUpgrade(const UpgradeFolders& folders, const FolderInspection& inspect)
{
    DeleteMovedAsideFolders(folders);
    if (Exists(folders.previous) && !SettleSetAsideInstallation(folders, inspect)) return false;
    return DeleteOrMoveAside(folders.staging, folders);
}
