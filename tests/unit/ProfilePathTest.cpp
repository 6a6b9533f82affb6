#include <gtest/gtest.h>

#include "installer/ProfilePath.h"
#include "tests/support/TestSupport.h"

using testing_support::KnownFolder;

namespace {

TEST(ReplaceProfileUser, ReplacesTheThirdComponent)
{
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Users\\admin\\AppData\\Roaming", L"alice"), L"C:\\Users\\alice\\AppData\\Roaming");
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Documents and Settings\\admin\\Application Data", L"alice"),
              L"C:\\Documents and Settings\\alice\\Application Data");
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Users\\alice\\AppData\\Roaming", L"alice"), L"C:\\Users\\alice\\AppData\\Roaming");
}

TEST(ReplaceProfileUser, PathsWithFewerThanThreeBackslashesPassUnchanged)
{
    EXPECT_EQ(ReplaceProfileUser(L"", L"alice"), L"");
    EXPECT_EQ(ReplaceProfileUser(L"C:", L"alice"), L"C:");
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Users", L"alice"), L"C:\\Users");
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Users\\admin", L"alice"), L"C:\\Users\\admin");
}

TEST(ReplaceProfileUser, EmptyUserLeavesTwoBackslashes)
{
    EXPECT_EQ(ReplaceProfileUser(L"C:\\Users\\admin\\AppData\\Roaming", L""), L"C:\\Users\\\\AppData\\Roaming");
}

// The system as a test arranges it: profiles in C:\Users; the session user's token is (or is
// not) to be had, and then gives a folder on a server. Neither question may be asked when the
// accounts are the same.
std::wstring ProfilesInUsers()
{
    return L"C:\\Users";
}

std::wstring ProfilesNotToBeAsked()
{
    ADD_FAILURE() << "the profiles folder was asked for";
    return L"C:\\Users";
}

bool TokenGivesServerFolder(std::wstring& folder)
{
    folder = L"\\\\fileserver\\home\\alice\\AppData\\Roaming";
    return true;
}

bool NoToken(std::wstring&)
{
    ::SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return false;
}

bool TokenNotToBeAsked(std::wstring&)
{
    ADD_FAILURE() << "the session user's token was asked for";
    return false;
}

const std::wstring kSystemProfile = L"C:\\Windows\\System32\\config\\systemprofile\\AppData\\Roaming";

TEST(ResolveRoamingFolder, SameAccountKeepsTheReportedFolderWithoutAskingAnything)
{
    const ProfileQueries untouched{ProfilesNotToBeAsked, TokenNotToBeAsked};
    const std::wstring renamed = L"C:\\Users\\alice.CORP\\AppData\\Roaming";
    EXPECT_EQ(ResolveRoamingFolder(renamed, L"alice", L"alice", untouched), renamed);
    EXPECT_EQ(ResolveRoamingFolder(renamed, L"ALICE", L"alice", untouched), renamed) << "account names are case-insensitive";
    EXPECT_EQ(ResolveRoamingFolder(kSystemProfile, L"", L"SYSTEM", untouched), kSystemProfile)
        << "an unknown session user cannot be told apart from the process's own account";
}

TEST(ResolveRoamingFolder, AnotherAccountInTheProfilesFolderGetsTheSessionUsersName)
{
    const ProfileQueries queries{ProfilesInUsers, TokenNotToBeAsked};
    EXPECT_EQ(ResolveRoamingFolder(L"C:\\Users\\admin\\AppData\\Roaming", L"alice", L"admin", queries),
              L"C:\\Users\\alice\\AppData\\Roaming");
    EXPECT_EQ(ResolveRoamingFolder(L"c:\\users\\admin\\AppData\\Roaming", L"alice", L"admin", queries),
              L"c:\\users\\alice\\AppData\\Roaming")
        << "the profiles folder is matched without regard to case";
}

TEST(ResolveRoamingFolder, LocalSystemGetsTheSessionUsersOwnFolderWhenTheTokenIsToBeHad)
{
    const ProfileQueries queries{ProfilesInUsers, TokenGivesServerFolder};
    EXPECT_EQ(ResolveRoamingFolder(kSystemProfile, L"alice", L"SYSTEM", queries), L"\\\\fileserver\\home\\alice\\AppData\\Roaming");
    // Not in the profiles folder either: a folder next to it, and a redirected one of the admin.
    EXPECT_EQ(ResolveRoamingFolder(L"C:\\UsersOld\\admin\\AppData\\Roaming", L"alice", L"admin", queries),
              L"\\\\fileserver\\home\\alice\\AppData\\Roaming");
    EXPECT_EQ(ResolveRoamingFolder(L"\\\\fileserver\\home\\admin\\AppData\\Roaming", L"alice", L"admin", queries),
              L"\\\\fileserver\\home\\alice\\AppData\\Roaming");
}

TEST(ResolveRoamingFolder, LocalSystemWithoutTheTokenHasNoFolder)
{
    const ProfileQueries queries{ProfilesInUsers, NoToken};
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(ResolveRoamingFolder(kSystemProfile, L"alice", L"SYSTEM", queries), L"");
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD)) << "the reason is kept for the log";
}

TEST(ResolveRoamingFolder, ProfilesFolderDeeperThanTheDriveIsNotRewritten)
{
    // The third component of D:\Data\Users\admin\... is Users, not the profile: the system is asked.
    const ProfileQueries queries{[] { return std::wstring(L"D:\\Data\\Users"); }, NoToken};
    EXPECT_EQ(ResolveRoamingFolder(L"D:\\Data\\Users\\admin\\AppData\\Roaming", L"alice", L"admin", queries), L"");
}

TEST(ResolveRoamingFolder, UnderWineARunTakesTheReportedFolder)
{
    std::wstring session;
    ASSERT_TRUE(GetSessionUserName(session));
    const std::wstring reported = KnownFolder(CSIDL_APPDATA);
    EXPECT_EQ(ResolveRoamingFolder(reported, session, GetProcessUserName(), SystemProfileQueries()), reported);
    // The system's profiles folder is read (userenv, by full path): an elevated run is rewritten.
    const std::wstring elevated = KnownFolder(CSIDL_PROFILE) + L"\\AppData\\Roaming";
    const std::wstring profiles = elevated.substr(0, elevated.find(L'\\', 3));
    EXPECT_EQ(ResolveRoamingFolder(elevated, L"alice", L"admin", SystemProfileQueries()), profiles + L"\\alice\\AppData\\Roaming");
}

TEST(SessionUser, MatchesTheProcessAccountUnderWine)
{
    std::wstring user;
    ASSERT_TRUE(GetSessionUserName(user));
    EXPECT_FALSE(user.empty());
    EXPECT_EQ(user, GetProcessUserName());
}

}  // namespace
