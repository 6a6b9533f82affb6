// Whether an archive entry fits below a folder once joined with it. The limit applies to the
// joined path, not to the name alone: a name that fits the archive may still not fit below a
// deep profile folder, and that has to be known before anything on disk changes.
#pragma once

#include <string>

#include "archive/Unzipper.h"

// True when entry, joined with folder, stays within the lengths that Windows takes without the
// long-path prefix: a file's path below MAX_PATH characters, and every folder on the way below
// 248 (MAX_PATH less room for an 8.3 name), the limit of creating a folder. Counted in UTF-16
// characters, as the system counts them.
bool JoinedPathFits(const std::wstring& folder, const UZ_FileInfo& entry);
