// Room for the new product beside the earlier installation. The staging folder is filled while
// the earlier installation is still on the disk, so a disk that cannot hold both is refused
// before anything is written.
#pragma once

#include <windows.h>

#include <string>

#include "archive/Unzipper.h"

// The allocation unit of the volume holding folder (an existing one); 4096 when it does not tell.
ULONGLONG ClusterBytesOf(const std::wstring& folder);

// The space an entry takes once unpacked: a file's size rounded up to whole clusters.
ULONGLONG SpaceTaken(const UZ_FileInfo& entry, ULONGLONG clusterBytes);

// True when the volume holding folder has bytes free for this user. A volume that does not
// report its free space counts as having room: running out fails the unpacking cleanly as well,
// only later.
bool HasRoomFor(const std::wstring& folder, ULONGLONG bytes);
