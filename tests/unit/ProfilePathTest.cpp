#include <gtest/gtest.h>

#include "installer/ProfilePath.h"

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

TEST(ResolveRoamingFolder, ReplacesOnlyForAnotherAccountOnADrivePath)
{
    const std::wstring elevated = L"C:\\Users\\admin\\AppData\\Roaming";
    EXPECT_EQ(ResolveRoamingFolder(elevated, L"alice", L"admin"), L"C:\\Users\\alice\\AppData\\Roaming");
    EXPECT_EQ(ResolveRoamingFolder(elevated, L"admin", L"admin"), elevated);
    EXPECT_EQ(ResolveRoamingFolder(elevated, L"ADMIN", L"admin"), elevated) << "account names are case-insensitive";
}

TEST(ResolveRoamingFolder, KeepsRedirectedAndRenamedProfiles)
{
    const std::wstring renamed = L"C:\\Users\\alice.CORP\\AppData\\Roaming";
    EXPECT_EQ(ResolveRoamingFolder(renamed, L"alice", L"alice"), renamed);
    const std::wstring redirected = L"\\\\server\\share\\alice\\AppData\\Roaming";
    EXPECT_EQ(ResolveRoamingFolder(redirected, L"alice", L"admin"), redirected);
}

TEST(ResolveRoamingFolder, UnknownSessionUserKeepsTheSystemFolder)
{
    const std::wstring roaming = L"C:\\Users\\admin\\AppData\\Roaming";
    EXPECT_EQ(ResolveRoamingFolder(roaming, L"", L"admin"), roaming);
}

TEST(SessionUser, MatchesTheProcessAccountUnderWine)
{
    std::wstring user;
    ASSERT_TRUE(GetSessionUserName(user));
    EXPECT_FALSE(user.empty());
    EXPECT_EQ(user, GetProcessUserName());
}

}  // namespace
