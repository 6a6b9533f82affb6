// Which profile the product is installed into. A setup started under another account than the
// user logged on to the session still installs into the session user's profile: after an
// administrator's elevation by finding the user's profile from their identity, and under a
// deployment tool's service account in the user's session (LocalSystem, whose roaming folder lies
// under the Windows folder) by asking the system for the session user's own folders.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScopedHandle.h"

// The name of the user logged on to the current session (WTSUserName); empty and FALSE when
// the query fails.
BOOL GetSessionUserName(std::wstring& user);

// The name of the account this process runs under; empty when it cannot be read.
std::wstring GetProcessUserName();

// What the decision below asks the system, and only when it matters. Explicit so that the
// decision can be tried with accounts, sessions and folders that a test machine does not have.
struct ProfileQueries {
    // The machine's profiles folder (C:\Users), without a trailing backslash; empty when unknown.
    std::wstring (*profilesFolder)();
    // The session user's token (only a service account such as LocalSystem may ask for one) and,
    // with it, that user's own roaming folder. False, with the thread's last error saying why,
    // when no token could be obtained or the folder could not be read.
    bool (*sessionUserRoamingFolder)(std::wstring& folder, framework::KernelHandle& token);
    // The session user's profile found from their identity: the profile folder that the
    // system's profile list records for their SID (ProfileList\<SID>\ProfileImagePath), and
    // their roaming folder as their own shell folders name it, or empty when their registry is
    // not loaded or does not say. False, with the last error, when the account or its entry in
    // the profile list cannot be found.
    bool (*sessionUserProfile)(const std::wstring& user, std::wstring& profile, std::wstring& roaming);
    // Whether this process runs in session 0, the services' session, where no user works.
    bool (*inServiceSession)();
};

// The queries answered by the running system.
ProfileQueries SystemProfileQueries();

struct ResolvedProfile {
    // The roaming folder to install below; empty when the installation cannot go on.
    std::wstring roaming;
    // The session user's token when their folders were asked for with it: the shortcuts and the
    // client check then use that user's folders too.
    framework::KernelHandle userToken;
    // Why there is no folder, for the log.
    std::wstring failure;
};

// The roaming folder to install below, given the one the system reports for this process:
// - the same account as the session user: the reported folder;
// - no session user in session 0 (a deployment tool's service account, a scheduled task): no
//   folder; this installer installs per user and never into a service's profile;
// - no session user elsewhere: the reported folder, the only one known to be a real profile;
// - another account whose folder lies in the profiles folder, directly below a drive
//   (C:\Users\admin\..., an administrator's elevation): the session user's own profile, found
//   from their identity (a renamed account or a .CORP or .000 folder is found as it is), and
//   there their roaming folder; a profile folder that does not exist is never made;
// - another account whose folder lies elsewhere (LocalSystem's under the Windows folder, a
//   redirected one on a server): the session user's own roaming folder, asked with their token;
// - and when that cannot be had: no folder, and the installation fails before it writes.
ResolvedProfile ResolveRoamingFolder(const std::wstring& reported, const std::wstring& sessionUser,
                                     const std::wstring& processUser, const ProfileQueries& queries);

// A folder of the user the installation is for: asked with their token when there is one, else
// the process's own.
std::wstring UserShellFolder(int csidl, HANDLE userToken);
