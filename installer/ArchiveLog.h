// The install log's lines about the product archive: how many entries it holds, what was
// unpacked, and the entry where the check or the unpacking stopped. Each reads the archive's
// directory through the Unzipper that has just done the step, so it runs right after it.
#pragma once

#include <string>

class Unzipper;

// After OpenZip and CheckAllEntries: the entry count, or why the archive was refused.
void LogArchiveCheck(Unzipper& unzipper, bool opened, bool checked, const std::wstring& archive);

// After ExtractAll: the files and bytes unpacked, or the entry it stopped at with the thread's
// last Windows error (a full disk, a folder that cannot be created). The path named is the one
// the entry would have had in installFolder: the staging folder it was unpacked into is gone
// by the time anyone reads the log.
void LogUnpacking(Unzipper& unzipper, bool unpacked, const std::wstring& installFolder);
