// Whether the product can be staged beside the install folder, judged from the archive's
// directory alone before anything is written. Whether each entry's path fits below the staging
// folder is the archive check's to say (Unzipper::CheckAllEntries with that folder); this is
// the other half: the space all files take there.
#pragma once

class Unzipper;
struct UpgradeFolders;

// True when the volume has room for every entry below folders.staging on top of what it already
// holds, the earlier installation included (DiskSpace.h). Moves the archive's current entry.
bool ArchiveFitsStaging(Unzipper& unzipper, const UpgradeFolders& folders);
