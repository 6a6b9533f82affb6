// Which profile the product is installed into. A setup started under another account than the
// user logged on to the session (an administrator's, after elevation) still installs into the
// session user's profile, by putting that user's name into the roaming folder's path.
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

// The roaming folder to install below. The replacement is applied only when it is needed and
// safe: the process runs under another account than the session user, and the folder is a
// drive-letter path. A redirected (\\server\share\...) or renamed (C:\Users\alice.CORP\...)
// profile is used as the system reports it.
std::wstring ResolveRoamingFolder(const std::wstring& roaming, const std::wstring& sessionUser,
                                  const std::wstring& processUser);
