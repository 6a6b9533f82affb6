#include "installer/upgrade/ArchiveFit.h"

#include "archive/Unzipper.h"
#include "installer/upgrade/DiskSpace.h"
#include "installer/upgrade/UpgradeFolders.h"

bool ArchiveFitsStaging(Unzipper& unzipper, const UpgradeFolders& folders)
{
    const ULONGLONG clusterBytes = ClusterBytesOf(folders.parent);
    ULONGLONG bytes = 0;
    UZ_FileInfo entry;
    for (bool more = unzipper.GotoFirstFile(); more; more = unzipper.GotoNextFile()) {
        if (!unzipper.GetFileInfo(entry)) return false;
        bytes += SpaceTaken(entry, clusterBytes);
    }
    return HasRoomFor(folders.parent, bytes);
}
