// What a run that ended during an installation (process ended, power lost) leaves beside the
// install folder, recognised by the next run before it installs, so that the user is never left
// without a product:
// - the earlier installation set aside, and no install folder or an empty one (the run ended
//   between the two renames; the installer object of this run has created the empty folder):
//   the earlier installation goes back into place;
// - the earlier installation set aside beside a filled install folder (the run ended while
//   deleting it, after the swap): the rest of it is deleted;
// - a staging folder, complete or not: deleted;
// - folders moved out of the way by earlier runs (Leftovers.h): deleted as far as they are free.
#pragma once

#include <functional>
#include <string>

struct UpgradeFolders;

enum class FolderContent { Missing, Empty, Filled, Unknown };

// What a folder holds; Unknown when it exists but cannot be listed. A link counts as filled:
// what it points to is not this installer's to judge.
FolderContent InspectFolder(const std::wstring& folder);
using FolderInspection = std::function<FolderContent(const std::wstring& folder)>;

// Resolves the cases above. False when something stays that an installation must not run over
// (a set-aside installation that can neither go back nor be deleted or moved away, a staging
// folder of that kind), and when the install folder cannot be listed: the recovery then decides
// nothing and leaves both folders as they are. Each such case is written to the install log.
bool RecoverInterruptedUpgrade(const UpgradeFolders& folders, const FolderInspection& inspect = InspectFolder);
