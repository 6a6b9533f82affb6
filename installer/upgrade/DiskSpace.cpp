#include "installer/upgrade/DiskSpace.h"

namespace {

constexpr ULONGLONG kUsualClusterBytes = 4096;

}  // namespace

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

ULONGLONG SpaceTaken(const UZ_FileInfo& entry, ULONGLONG clusterBytes)
{
    if (entry.bFolder) return 0;
    return (entry.dwUncompressedSize + clusterBytes - 1) / clusterBytes * clusterBytes;
}

bool HasRoomFor(const std::wstring& folder, ULONGLONG bytes)
{
    ULARGE_INTEGER freeForCaller{};
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &freeForCaller, nullptr, nullptr)) return true;
    return bytes <= freeForCaller.QuadPart;
}
