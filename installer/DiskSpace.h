// Room for the new product beside the earlier installation. The staging folder is filled while
// the earlier installation is still on the disk, so a disk that cannot hold both is refused
// before anything is written.
#pragma once

#include <string>

class Unzipper;

// True when the volume holding folder (an existing one) has, free for this user, the space the
// open archive's files take once unpacked there: each file's size rounded up to whole clusters.
// A volume that does not report its free space counts as having room. Moves the current entry.
bool HasRoomToUnpack(Unzipper& unzipper, const std::wstring& folder);
