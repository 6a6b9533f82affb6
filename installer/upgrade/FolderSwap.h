// The one step that changes the installed product: the staged product takes the install
// folder's place by two renames on one volume, and the earlier installation is set aside whole,
// to be deleted only once the new one is in place. A run that ends between the two renames
// leaves folders that the next run recognises (UpgradeRecovery.h).
#pragma once

struct UpgradeFolders;

// Renames the install folder to folders.previous, then folders.staging to the install folder.
// Renames never copy: a folder on another volume fails the swap. When the second rename fails
// the first is undone, and the install folder holds the earlier installation again; the staged
// folder is left to the caller. On Windows a folder cannot be renamed while a file in it is open,
// so a product that is still running fails the swap cleanly.
bool SwapInStagedProduct(const UpgradeFolders& folders);
