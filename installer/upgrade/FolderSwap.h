// The one step that changes the installed product: the staged product takes the install
// folder's place by two renames on one volume, and the earlier installation is set aside whole,
// to be deleted only once the new one is in place. A run that ends between the two renames
// leaves folders that the next run recognises (UpgradeRecovery.h).
//
// On Windows a folder cannot be renamed while any handle below it is open, a process's current
// folder included: a program started from the product's shortcuts, an Explorer window on a
// subfolder, a scanner reading a file that was just written. Most of these go away within
// moments, so each rename is retried for a few seconds on sharing and access errors.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct UpgradeFolders;

// Renames a folder; returns ERROR_SUCCESS or the Windows error. Tests put failures in its place.
using RenameFolder = std::function<DWORD(const std::wstring& from, const std::wstring& to)>;
DWORD MoveFolder(const std::wstring& from, const std::wstring& to);

struct RenameRetry {
    int attempts;
    DWORD pauseMs;
};
constexpr RenameRetry kSwapRetry{20, 250};

// One rename, retried while the error is one that a short-lived handle causes. An empty folder
// in the target's place is taken away first: MoveFileEx cannot replace a folder.
DWORD RenameWithRetry(const std::wstring& from, const std::wstring& to, const RenameFolder& rename = MoveFolder,
                      RenameRetry retry = kSwapRetry);

struct SwapOutcome {
    bool swapped = false;
    // The rename that failed last ("set aside the earlier installation", ...), its folders and
    // its error, for the install log.
    const wchar_t* failedRename = L"";
    std::wstring from, to;
    DWORD error = ERROR_SUCCESS;
    // The earlier installation is in the install folder again (or there was none).
    bool earlierInPlace = true;
};

// Renames the install folder to folders.previous, then folders.staging to the install folder.
// Renames never copy: a folder on another volume fails the swap. When the second rename fails
// the first is undone, and the install folder holds the earlier installation again; the staged
// folder is left to the caller. An empty install folder that appeared in between (another run's
// start-up creates one) is removed before the new product or the earlier one is put in place.
SwapOutcome SwapInStagedProduct(const UpgradeFolders& folders, const RenameFolder& rename = MoveFolder,
                                RenameRetry retry = kSwapRetry);
