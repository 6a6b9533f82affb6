// Whether the product can be staged beside the install folder, judged from the archive's
// directory alone before anything is written: in one pass, every entry's path joined with the
// staging folder, and the space all files take there.
#pragma once

class Unzipper;
struct UpgradeFolders;

// True when every entry fits below folders.staging (EntryPathLength.h) and the volume has room
// for all of them on top of what it already holds, the earlier installation included
// (DiskSpace.h). Moves the archive's current entry.
bool ArchiveFitsStaging(Unzipper& unzipper, const UpgradeFolders& folders);
