#include "installer/upgrade/FolderSwap.h"

#include "installer/upgrade/UpgradeFolders.h"

namespace {

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsPassingLock(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

bool RenameStep(const wchar_t* step, const std::wstring& from, const std::wstring& to, const RenameFolder& rename,
                RenameRetry retry, SwapOutcome& outcome)
{
    const DWORD error = RenameWithRetry(from, to, rename, retry);
    if (error == ERROR_SUCCESS) return true;
    outcome.failedRename = step;
    outcome.from = from;
    outcome.to = to;
    outcome.error = error;
    return false;
}

}  // namespace

DWORD MoveFolder(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), 0) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD RenameWithRetry(const std::wstring& from, const std::wstring& to, const RenameFolder& rename, RenameRetry retry)
{
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < retry.attempts; ++attempt) {
        if (attempt > 0) ::Sleep(retry.pauseMs);
        ::RemoveDirectoryW(to.c_str());
        error = rename(from, to);
        if (error == ERROR_SUCCESS || !IsPassingLock(error)) break;
    }
    return error;
}

SwapOutcome SwapInStagedProduct(const UpgradeFolders& folders, const RenameFolder& rename, RenameRetry retry)
{
    SwapOutcome outcome;
    // The install folder normally exists (the installer object creates it); without it there
    // is nothing to set aside.
    const bool setAside = Exists(folders.install);
    if (setAside &&
        !RenameStep(L"set aside the earlier installation", folders.install, folders.previous, rename, retry, outcome)) {
        return outcome;
    }
    if (RenameStep(L"put the new product in place", folders.staging, folders.install, rename, retry, outcome)) {
        outcome.swapped = true;
        return outcome;
    }
    if (!setAside) return outcome;
    // Should the undo fail too, the next run finds the earlier installation set aside and no
    // install folder, and puts it back; the failure logged is the one that stopped the swap.
    SwapOutcome undo;
    outcome.earlierInPlace =
        RenameStep(L"put the earlier installation back", folders.previous, folders.install, rename, retry, undo);
    return outcome;
}
