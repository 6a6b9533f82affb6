// Folders that cannot be deleted yet never stand in the way of an installation. A set-aside
// earlier installation or a staging folder may hold a file that another program still uses (the
// product's library inside Excel, a scanner reading it); what cannot be deleted now is moved out
// of the way, into a folder beside the install folder named "<install folder>.del-<unique>", and
// a later run deletes those folders once their files are free. A program's image or loaded
// library can be renamed while it is in use, though not deleted, so moving files one by one
// frees the folder even where Windows refuses to rename the folder itself.
#pragma once

#include <string>

struct UpgradeFolders;

// Deletes folder, or moves what cannot be deleted out of the way. True when nothing of that
// name is left; every failure is written to the install log with its path and error.
bool DeleteOrMoveAside(const std::wstring& folder, const UpgradeFolders& folders);

// Deletes the folders earlier runs moved out of the way, as far as their files are free now; what
// is still in use stays for a later run.
void DeleteMovedAsideFolders(const UpgradeFolders& folders);
