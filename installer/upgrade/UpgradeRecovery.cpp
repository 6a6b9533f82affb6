#include "installer/upgrade/UpgradeRecovery.h"

#include <windows.h>

#include "framework/ScopedHandle.h"
#include "installer/upgrade/EmptyFolder.h"
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

// A missing folder, or a real folder with nothing in it. A link counts as filled: what it
// points to is not this installer's to judge.
bool IsMissingOrEmpty(const std::wstring& folder)
{
    if (!Exists(folder)) return true;
    if (!IsRealFolder(folder)) return false;
    WIN32_FIND_DATAW entry;
    framework::FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!search) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") return false;
    } while (::FindNextFileW(search.get(), &entry));
    return true;
}

bool PutBackEarlierInstallation(const UpgradeFolders& folders)
{
    ::RemoveDirectoryW(folders.install.c_str());
    return ::MoveFileExW(folders.previous.c_str(), folders.install.c_str(), 0) != FALSE;
}

}  // namespace

bool RecoverInterruptedUpgrade(const UpgradeFolders& folders)
{
    if (Exists(folders.previous)) {
        const bool settled = IsRealFolder(folders.previous) && IsMissingOrEmpty(folders.install)
                                 ? PutBackEarlierInstallation(folders)
                                 : DeleteFolderTree(folders.previous);
        if (!settled) return false;
    }
    return DeleteFolderTree(folders.staging);
}
