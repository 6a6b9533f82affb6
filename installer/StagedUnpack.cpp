#include "installer/StagedUnpack.h"

#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/EmptyFolder.h"

bool UnpackIntoStaging(Unzipper& unzipper, const std::wstring& staging)
{
    // Unpacked over an older staging folder, stray files would become part of the product.
    if (!DeleteFolderTree(staging)) return false;
    if (unzipper.ExtractAll(framework::WideToAnsi(staging).get(), false)) return true;
    DeleteFolderTree(staging);
    return false;
}
