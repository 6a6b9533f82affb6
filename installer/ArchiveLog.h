// The install log's lines about the product archive: how many entries it holds, what was
// unpacked, and the entry where the check or the unpacking stopped. Each reads the archive's
// directory through the Unzipper that has just done the step, so it runs right after it.
#pragma once

#include <string>

class Unzipper;

// After OpenZip and CheckAllEntries: the entry count, or why the archive was refused.
void LogArchiveCheck(Unzipper& unzipper, bool opened, bool checked, const std::wstring& archive);

// After ExtractAll into folder: the files and bytes unpacked, or the entry it stopped at with
// the thread's last Windows error (a full disk, a folder that cannot be created).
void LogUnpacking(Unzipper& unzipper, bool unpacked, const std::wstring& folder);
