// The install folder's earlier content: emptying it before the product is unpacked, and
// telling beforehand whether something in it is held open by another program.
#pragma once

#include <string>

// Deletes everything inside folder; with removeFolder set, the folder itself too. Entries that
// cannot be deleted (read-only, in use) stay, and so do the folders holding them. A junction
// or symbolic link is removed itself: the folder it points to is never entered. False when the
// folder cannot be searched.
bool EmptyFolder(const std::wstring& folder, bool removeFolder);

// True when a file below folder is open in another program in a way that keeps it from being
// deleted or replaced (the product still running during an upgrade, say).
bool FolderHasFileInUse(const std::wstring& folder);
