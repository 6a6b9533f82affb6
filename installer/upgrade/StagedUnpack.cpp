#include "installer/upgrade/StagedUnpack.h"

#include <windows.h>

#include "archive/Unzipper.h"
#include "installer/upgrade/EmptyFolder.h"

bool UnpackIntoStaging(Unzipper& unzipper, const std::wstring& staging)
{
    // Unpacked over an older staging folder, stray files would become part of the product.
    if (!DeleteFolderTree(staging)) return false;
    if (unzipper.ExtractAll(staging.c_str(), false)) return true;
    // The reason the unpacking stopped is the caller's to report, not the clean-up's.
    const DWORD error = ::GetLastError();
    DeleteFolderTree(staging);
    ::SetLastError(error);
    return false;
}
