#include "installer/DiskSpace.h"

#include <windows.h>

#include "archive/Unzipper.h"

namespace {

constexpr ULONGLONG kUsualClusterBytes = 4096;

ULONGLONG ClusterBytesOf(const std::wstring& folder)
{
    wchar_t root[MAX_PATH] = {};
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!::GetVolumePathNameW(folder.c_str(), root, MAX_PATH) ||
        !::GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
        sectorsPerCluster == 0 || bytesPerSector == 0) {
        return kUsualClusterBytes;
    }
    return static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
}

ULONGLONG UnpackedBytes(Unzipper& unzipper, ULONGLONG clusterBytes)
{
    ULONGLONG total = 0;
    UZ_FileInfo entry;
    for (bool more = unzipper.GotoFirstFile(); more; more = unzipper.GotoNextFile()) {
        if (!unzipper.GetFileInfo(entry) || entry.bFolder) continue;
        total += (entry.dwUncompressedSize + clusterBytes - 1) / clusterBytes * clusterBytes;
    }
    return total;
}

}  // namespace

bool HasRoomToUnpack(Unzipper& unzipper, const std::wstring& folder)
{
    ULARGE_INTEGER freeForCaller{};
    // A volume that does not tell is not refused: running out of space fails the unpacking
    // cleanly as well, only later.
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &freeForCaller, nullptr, nullptr)) return true;
    return UnpackedBytes(unzipper, ClusterBytesOf(folder)) <= freeForCaller.QuadPart;
}
