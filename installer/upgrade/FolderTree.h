// The install folder's neighbourhood: deleting folder trees (the earlier installation once it
// has been set aside, a staging folder that is not needed), and telling beforehand whether a
// file of the installed product is in use by another program.
#pragma once

#include <string>
#include <vector>

// Paths below folder may be of any length (they are reached in their verbatim \\?\ form).

// Deletes folder with everything in it; true when nothing of that name is left afterwards, also
// when there was nothing to begin with. Attributes that would refuse the deletion (read-only,
// hidden, system) are cleared first. Entries that cannot be deleted (in use) stay, and so do the
// folders holding them. A junction or symbolic link is removed itself, never entered; so is a
// link or a file in the folder's own place.
bool DeleteFolderTree(const std::wstring& folder);

// The files below folder (at most limit of them) that another program uses in a way that keeps
// them from being deleted or replaced: a running program, a library loaded by another process
// (the product's add-in inside Excel), a file held open without sharing. Paths as folder gives
// them.
std::vector<std::wstring> FilesInUseBelow(const std::wstring& folder, size_t limit);

// The files that are left below folder, at most limit of them.
std::vector<std::wstring> FilesBelow(const std::wstring& folder, size_t limit);
