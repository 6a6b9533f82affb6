#include "installer/upgrade/FolderSwap.h"

#include <windows.h>

#include "installer/upgrade/UpgradeFolders.h"

namespace {

bool Rename(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool SwapInStagedProduct(const UpgradeFolders& folders)
{
    // The install folder normally exists (the installer object creates it); without it there
    // is nothing to set aside.
    const bool setAside = Exists(folders.install);
    if (setAside && !Rename(folders.install, folders.previous)) return false;
    if (Rename(folders.staging, folders.install)) return true;
    // Should this fail too, the next run finds the earlier installation set aside and no
    // install folder, and puts it back.
    if (setAside) Rename(folders.previous, folders.install);
    return false;
}
