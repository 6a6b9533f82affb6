// Emptying the install folder before the product is unpacked into it.
#pragma once

#include <string>

// Deletes everything inside folder; with removeFolder set, the folder itself too. Entries that
// cannot be deleted (read-only, in use) stay, and so do the folders holding them. A junction
// or symbolic link is removed itself: the folder it points to is never entered. False when the
// folder cannot be searched.
bool EmptyFolder(const std::wstring& folder, bool removeFolder);
