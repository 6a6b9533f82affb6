#include <gtest/gtest.h>

#include "installer/ProfilePath.h"
#include "tests/support/TestSupport.h"

using testing_support::KnownFolder;

namespace {

// The system as a test arranges it: profiles in C:\\Users; the profile list knows ajones (the
// account renamed from asmith keeps its folder), alice (a .CORP folder), bob (whose own shell
// folders put his roaming folder on D:) and ghost (whose folder was deleted); the session user's
// token is (or is not) to be had, and then gives a folder on a server. Nothing may be asked that
// the decision does not need.
std::wstring ProfilesInUsers()
{
    return L"C:\\Users";
}

std::wstring ProfilesNotToBeAsked()
{
    ADD_FAILURE() << "the profiles folder was asked for";
    return L"C:\\Users";
}

bool TokenGivesServerFolder(std::wstring& folder, framework::KernelHandle&)
{
    folder = L"\\\\fileserver\\home\\alice\\AppData\\Roaming";
    return true;
}

bool NoToken(std::wstring&, framework::KernelHandle&)
{
    ::SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return false;
}

bool TokenNotToBeAsked(std::wstring&, framework::KernelHandle&)
{
    ADD_FAILURE() << "the session user's token was asked for";
    return false;
}

bool ProfileList(const std::wstring& user, std::wstring& profile, std::wstring& roaming)
{
    struct Entry {
        const wchar_t* user;
        const wchar_t* profile;
        const wchar_t* roaming;
    };
    static const Entry kEntries[] = {{L"ajones", L"C:\\Users\\asmith", L""},
                                     {L"alice", L"C:\\Users\\alice.CORP", L""},
                                     {L"bob", L"C:\\Users\\bob.000", L"D:\\Redirected\\bob\\AppData\\Roaming"},
                                     {L"ghost", L"C:\\Users\\ghost", L""}};
    for (const Entry& entry : kEntries) {
        if (user != entry.user) continue;
        profile = entry.profile;
        roaming = entry.roaming;
        return true;
    }
    ::SetLastError(ERROR_NONE_MAPPED);
    return false;
}

bool ProfileListNotToBeAsked(const std::wstring&, std::wstring&, std::wstring&)
{
    ADD_FAILURE() << "the profile list was asked for";
    return false;
}

bool InSessionZero()
{
    return true;
}

bool InUsersSession()
{
    return false;
}

const std::wstring kSystemProfile = L"C:\\Windows\\System32\\config\\systemprofile\\AppData\\Roaming";
const std::wstring kAdminRoaming = L"C:\\Users\\admin\\AppData\\Roaming";

TEST(ResolveRoamingFolder, EachAccountAndSessionGetsTheSessionUsersRealProfileOrNone)
{
    for (const wchar_t* profile : {L"C:\\Users\\asmith", L"C:\\Users\\alice.CORP", L"C:\\Users\\bob.000"}) {
        testing_support::MakeFolders(profile);
    }
    struct Case {
        const char* what;
        std::wstring reported;
        std::wstring sessionUser;
        std::wstring processUser;
        ProfileQueries queries;
        std::wstring roaming;  // empty: the installation fails
        std::wstring failure;  // a part of the reason logged
    };
    const ProfileQueries nothingAsked{ProfilesNotToBeAsked, TokenNotToBeAsked, ProfileListNotToBeAsked, InUsersSession};
    const ProfileQueries elevation{ProfilesInUsers, TokenNotToBeAsked, ProfileList, InUsersSession};
    const Case cases[] = {
        {"the same account", L"C:\\Users\\alice.CORP\\AppData\\Roaming", L"ALICE", L"alice", nothingAsked,
         L"C:\\Users\\alice.CORP\\AppData\\Roaming", L""},
        {"no session user outside session 0", kAdminRoaming, L"", L"admin", nothingAsked, kAdminRoaming, L""},
        {"elevated, the account renamed", kAdminRoaming, L"ajones", L"admin", elevation, L"C:\\Users\\asmith\\AppData\\Roaming", L""},
        {"elevated, a .CORP folder", L"c:\\users\\admin\\AppData\\Roaming", L"alice", L"admin", elevation,
         L"C:\\Users\\alice.CORP\\AppData\\Roaming", L""},
        {"elevated, the user's own shell folder", kAdminRoaming, L"bob", L"admin", elevation, L"D:\\Redirected\\bob\\AppData\\Roaming",
         L""},
        {"elevated, the profile folder is gone", kAdminRoaming, L"ghost", L"admin", elevation, L"",
         L"the profile folder C:\\Users\\ghost of the session user ghost does not exist"},
        {"elevated, no profile", kAdminRoaming, L"nobody", L"admin", elevation, L"", L"not in the system's profile list"},
        {"a service in session 0 with no user", kSystemProfile, L"", L"SYSTEM",
         {ProfilesNotToBeAsked, TokenNotToBeAsked, ProfileListNotToBeAsked, InSessionZero}, L"",
         L"setup runs as SYSTEM in session 0, where no user is logged on; this installer installs per user"},
        {"LocalSystem in the user's session", kSystemProfile, L"alice", L"SYSTEM",
         {ProfilesInUsers, TokenGivesServerFolder, ProfileListNotToBeAsked, InUsersSession},
         L"\\\\fileserver\\home\\alice\\AppData\\Roaming", L""},
        {"LocalSystem without the user's token", kSystemProfile, L"alice", L"SYSTEM",
         {ProfilesInUsers, NoToken, ProfileListNotToBeAsked, InUsersSession}, L"",
         L"cannot ask for that user's own roaming folder"},
        {"a profiles folder deeper than the drive", L"D:\\Data\\Users\\admin\\AppData\\Roaming", L"alice", L"admin",
         {[] { return std::wstring(L"D:\\Data\\Users"); }, NoToken, ProfileListNotToBeAsked, InUsersSession}, L"",
         L"cannot ask for that user's own roaming folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ResolvedProfile resolved = ResolveRoamingFolder(c.reported, c.sessionUser, c.processUser, c.queries);
        EXPECT_EQ(resolved.roaming, c.roaming);
        if (c.roaming.empty()) {
            EXPECT_NE(resolved.failure.find(c.failure), std::wstring::npos) << testing::PrintToString(resolved.failure);
        }
    }
    EXPECT_FALSE(testing_support::FolderExists(L"C:\\Users\\ghost")) << "no profile folder is made";
}

TEST(ResolveRoamingFolder, UnderWineTheSessionUsersProfileIsFoundFromTheirIdentity)
{
    std::wstring session;
    ASSERT_TRUE(GetSessionUserName(session));
    const std::wstring reported = KnownFolder(CSIDL_APPDATA);
    EXPECT_EQ(ResolveRoamingFolder(reported, session, GetProcessUserName(), SystemProfileQueries()).roaming, reported);
    // As if an administrator had elevated the run: the session user's SID, the profile list and
    // that user's own shell folders give the folder the system reports to the user.
    EXPECT_EQ(ResolveRoamingFolder(kAdminRoaming, session, L"admin", SystemProfileQueries()).roaming, reported);
    const ResolvedProfile unknown = ResolveRoamingFolder(kAdminRoaming, L"no-such-user", L"admin", SystemProfileQueries());
    EXPECT_EQ(unknown.roaming, L"");
}

TEST(SessionUser, MatchesTheProcessAccountUnderWine)
{
    std::wstring user;
    ASSERT_TRUE(GetSessionUserName(user));
    EXPECT_FALSE(user.empty());
    EXPECT_EQ(user, GetProcessUserName());
}

}  // namespace
