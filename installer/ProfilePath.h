// Which profile the product is installed into. A setup started under another account than the
// user logged on to the session still installs into the session user's profile: after an
// administrator's elevation by putting the user's name into the roaming folder's path, and under
// a deployment tool's service account (LocalSystem, whose roaming folder lies under the Windows
// folder) by asking the system for the session user's own roaming folder.
#pragma once

#include <windows.h>

#include <string>

// The name of the user logged on to the current session (WTSUserName); empty and FALSE when
// the query fails.
BOOL GetSessionUserName(std::wstring& user);

// The name of the account this process runs under; empty when it cannot be read.
std::wstring GetProcessUserName();

// Replaces the third component of path, counted from the drive, by user:
// C:\Users\admin\AppData\Roaming with alice gives C:\Users\alice\AppData\Roaming. A path with
// fewer than three backslashes comes back unchanged; an empty user leaves two backslashes.
std::wstring ReplaceProfileUser(std::wstring path, std::wstring user);

// What the decision below asks the system, and only when the accounts differ. Explicit so that
// the decision can be tried with accounts and folders that a test machine does not have.
struct ProfileQueries {
    // The machine's profiles folder (C:\Users), without a trailing backslash; empty when unknown.
    std::wstring (*profilesFolder)();
    // The session user's own roaming folder, asked of the system with that user's token. False,
    // with the thread's last error saying why, when no token could be obtained (only a service
    // account may ask for one) or the folder could not be read.
    bool (*sessionUserRoamingFolder)(std::wstring& folder);
};

// The queries answered by the running system.
ProfileQueries SystemProfileQueries();

// The roaming folder to install below, given the one the system reports for this process:
// - the same account as the session user, or no session user known: the reported folder;
// - another account whose folder lies in the profiles folder, directly below a drive
//   (C:\Users\admin\...): the reported folder with the session user's name in place of admin;
// - another account whose folder lies elsewhere (LocalSystem's under the Windows folder, a
//   redirected one on a server): the session user's own roaming folder;
// - and when that cannot be had: empty, and the installation fails before it writes anything.
std::wstring ResolveRoamingFolder(const std::wstring& reported, const std::wstring& sessionUser,
                                  const std::wstring& processUser, const ProfileQueries& queries);
