#include "installer/upgrade/StagedUnpack.h"

#include <windows.h>

#include "archive/Unzipper.h"
#include "installer/upgrade/Leftovers.h"
#include "installer/upgrade/UpgradeFolders.h"

bool UnpackIntoStaging(Unzipper& unzipper, const UpgradeFolders& folders)
{
    // Unpacked over an older staging folder, stray files would become part of the product.
    if (!DeleteOrMoveAside(folders.staging, folders)) return false;
    if (unzipper.ExtractAll(folders.staging.c_str(), false)) return true;
    // The reason the unpacking stopped is the caller's to report, not the clean-up's.
    const DWORD error = ::GetLastError();
    DeleteOrMoveAside(folders.staging, folders);
    ::SetLastError(error);
    return false;
}
