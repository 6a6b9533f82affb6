// What a run that ended during an installation (process ended, power lost) leaves beside the
// install folder, recognised by the next run before it installs, so that the user is never left
// without a product:
// - the earlier installation set aside, and no install folder or an empty one (the run ended
//   between the two renames; the installer object of this run has created the empty folder):
//   the earlier installation goes back into place;
// - the earlier installation set aside beside a filled install folder (the run ended while
//   deleting it, after the swap): the rest of it is deleted;
// - a staging folder, complete or not: deleted.
#pragma once

struct UpgradeFolders;

// Resolves the cases above. False when something stays that an installation must not run over
// (a set-aside installation that can neither go back nor be deleted, a staging folder that
// cannot be deleted); the install folder is then left as it is.
bool RecoverInterruptedUpgrade(const UpgradeFolders& folders);
