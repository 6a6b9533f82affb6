// Folder chains, deletion, moving and renaming on real files in the test's prefix.
#include <gtest/gtest.h>

#include <string>

#include "archive/FileUtils.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TEST(EnsureFolder, CreatesTheWholeChainAndAcceptsAnExistingOne)
{
    TempFolder temp;
    const std::wstring deep = temp / L"A\\B\\";
    EXPECT_EQ(ensure_folder(deep.c_str()), 0);
    EXPECT_TRUE(FolderExists(temp / L"A"));
    EXPECT_TRUE(FolderExists(temp / L"A\\B"));
    EXPECT_EQ(ensure_folder(deep.c_str()), 0);
    EXPECT_EQ(ensure_folder((temp.narrow() + "\\N1\\N2").c_str()), 0);
    EXPECT_TRUE(FolderExists(temp / L"N1\\N2"));
}

TEST(EnsureFolder, AcceptsOnlyDriveLetterAndSharePaths)
{
    EXPECT_EQ(ensure_folder(static_cast<const wchar_t*>(nullptr)), -100);
    EXPECT_EQ(ensure_folder(static_cast<const char*>(nullptr)), -100);
    EXPECT_EQ(ensure_folder(L"relative\\folder"), -100);
    EXPECT_EQ(ensure_folder("ab"), -100) << "too short to be refused by the rule, and not a folder";
    EXPECT_EQ(ensure_folder(L"C:"), 0);
    TempFolder temp;
    std::wstring forward = temp.path() + L"/F1/F2";
    EXPECT_EQ(ensure_folder(forward.c_str()), -100) << "forward slashes are not separators here";
    // Device and verbatim forms are refused untouched, even for a folder that exists.
    EXPECT_EQ(ensure_folder((L"\\\\?\\" + temp.path()).c_str()), -100);
    EXPECT_EQ(ensure_folder((L"\\\\.\\" + temp.path()).c_str()), -100);
    const std::wstring share = MakeShare(L"fileserver", L"home");
    for (const wchar_t* bent : {L"//fileserver/home/bent", L"\\\\fileserver/home\\bent", L"\\\\fileserver\\home/bent"}) {
        EXPECT_EQ(ensure_folder(bent), -100) << Narrow(bent);
    }
    EXPECT_FALSE(FolderExists(share + L"\\bent"));
}

TEST(EnsureFolder, CreatesOnlyTheFoldersBelowAShare)
{
    const std::wstring share = MakeShare(L"fileserver", L"home");
    EXPECT_EQ(ensure_folder((share + L"\\alice\\AppData\\Roaming\\").c_str()), 0);
    EXPECT_TRUE(FolderExists(share + L"\\alice\\AppData\\Roaming"));
    EXPECT_EQ(ensure_folder(Narrow(share + L"\\淺禱\\x").c_str()), 0) << "the narrow form too";
    EXPECT_TRUE(FolderExists(share + L"\\淺禱\\x"));
    EXPECT_EQ(ensure_folder(share.c_str()), 0);
    // A share or a server that is not there is never made (Wine would make either on request).
    EXPECT_EQ(ensure_folder(L"\\\\fileserver\\newshare\\alice"), -100);
    EXPECT_FALSE(FolderExists(L"\\\\fileserver\\newshare"));
    EXPECT_EQ(ensure_folder(L"\\\\newserver\\home\\alice"), -100);
    EXPECT_FALSE(FolderExists(L"\\\\newserver\\home"));
    // Too long for the system: refused, not cut.
    const std::wstring tooLong = share + L"\\" + std::wstring(300, L'x');
    EXPECT_EQ(ensure_folder(tooLong.c_str()), -100);
    EXPECT_FALSE(FolderExists(tooLong.substr(0, MAX_PATH - 1)));
}

TEST(EnsureFolder, RefusesPathsLongerThanTheSystemTakes)
{
    TempFolder temp;
    const std::wstring tooLong = temp.path() + L"\\" + std::wstring(300, L'x');
    EXPECT_EQ(ensure_folder(tooLong.c_str()), -100);
}

TEST(CollapseSeparators, EveryRunBecomesOne)
{
    EXPECT_EQ(collapse_separators("C:\\a\\\\\\b", '\\'), "C:\\a\\b");
    EXPECT_EQ(collapse_separators(L"\\\\server\\share", L'\\'), L"\\server\\share");
    EXPECT_EQ(collapse_separators("a////b//", '/'), "a/b/");
    EXPECT_EQ(collapse_separators(static_cast<const char*>(nullptr), '\\'), "");
}

TEST(TrimTrailingSeparators, StopsAtTheFirstOtherCharacter)
{
    wchar_t text[] = L"C:\\Tmp\\X \\/ ";
    trim_trailing_separators(text);
    EXPECT_STREQ(text, L"C:\\Tmp\\X");
    wchar_t empty[] = L"";
    trim_trailing_separators(empty);
    EXPECT_STREQ(empty, L"");
}

TEST(DeleteFolder, RemovesTheTreeAndTreatsAMissingPathAsDone)
{
    TempFolder temp;
    WriteFileBytes(temp / L"X\\sub\\file.txt", "data");
    EXPECT_EQ(delete_folder((temp / L"X\\").c_str(), false, false), 0);
    EXPECT_FALSE(FolderExists(temp / L"X"));
    EXPECT_EQ(delete_folder((temp / L"never-there").c_str(), false, false), 0);
    EXPECT_EQ(delete_folder(nullptr, false, false), -100);
}

TEST(DeleteFolder, AFileInUseFailsWithoutAskingAnyone)
{
    TempFolder temp;
    WriteFileBytes(temp / L"Busy\\held.txt", "data");
    HANDLE held = ::CreateFileW((temp / L"Busy\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // No error dialog may come up: the call has to return by itself.
    EXPECT_NE(delete_folder((temp / L"Busy").c_str(), false, false), 0);
    ::CloseHandle(held);
    EXPECT_TRUE(FileExists(temp / L"Busy\\held.txt"));
}

TEST(PathExists, ReportsFilesAndFolders)
{
    TempFolder temp;
    WriteFileBytes(temp / L"f.txt", "x");
    EXPECT_TRUE(path_exists(Narrow(temp / L"f.txt").c_str()));
    EXPECT_TRUE(path_exists(temp.narrow().c_str()));
    EXPECT_FALSE(path_exists(Narrow(temp / L"g.txt").c_str()));
    EXPECT_FALSE(path_exists(nullptr));
}

TEST(RenamePath, BareNameRenamesWithinTheFolder)
{
    TempFolder temp;
    WriteFileBytes(temp / L"x.zip", "zip");
    EXPECT_TRUE(rename_path(Narrow(temp / L"x.zip").c_str(), "y.zip"));
    EXPECT_FALSE(FileExists(temp / L"x.zip"));
    EXPECT_EQ(ReadFileBytes(temp / L"y.zip"), "zip");
}

TEST(RenamePath, FullPathInTheSameFolderIsUsedAsGiven)
{
    TempFolder temp;
    WriteFileBytes(temp / L"a.txt", "a");
    EXPECT_TRUE(rename_path(Narrow(temp / L"a.txt").c_str(), Narrow(temp / L"b.txt").c_str()));
    EXPECT_TRUE(FileExists(temp / L"b.txt"));
}

TEST(RenamePath, RefusesWhatCannotBeRenamed)
{
    TempFolder temp;
    WriteFileBytes(temp / L"a.txt", "a");
    EXPECT_FALSE(rename_path(Narrow(temp / L"missing.txt").c_str(), "b.txt"));
    EXPECT_FALSE(rename_path((temp.narrow() + "\\").c_str(), "b")) << "a source ending in a backslash";
    EXPECT_FALSE(rename_path(Narrow(temp / L"a.txt").c_str(), std::string(300, 'n').c_str())) << "does not fit";
    EXPECT_TRUE(FileExists(temp / L"a.txt"));
}

TEST(MoveToFolder, CreatesTheDestinationAndReplacesAnItemOfTheSameName)
{
    TempFolder temp;
    WriteFileBytes(temp / L"report.zip", "new");
    WriteFileBytes(temp / L"out\\deep\\report.zip", "old");
    EXPECT_EQ(move_to_folder(Narrow(temp / L"report.zip").c_str(), Narrow(temp / L"out\\deep").c_str()), 0);
    EXPECT_EQ(ReadFileBytes(temp / L"out\\deep\\report.zip"), "new");
    EXPECT_FALSE(FileExists(temp / L"report.zip"));

    WriteFileBytes(temp / L"second.zip", "2");
    EXPECT_EQ(move_to_folder(Narrow(temp / L"second.zip").c_str(), Narrow(temp / L"fresh\\chain").c_str()), 0);
    EXPECT_TRUE(FileExists(temp / L"fresh\\chain\\second.zip"));
}

TEST(MoveToFolder, ReportsWhatWentWrong)
{
    TempFolder temp;
    WriteFileBytes(temp / L"file.zip", "z");
    EXPECT_EQ(move_to_folder(Narrow(temp / L"file.zip").c_str(), "relative\\dest"), -97);
    EXPECT_TRUE(FileExists(temp / L"file.zip")) << "nothing moved";
    EXPECT_EQ(move_to_folder(Narrow(temp / L"none.zip").c_str(), temp.narrow().c_str()), -100);
    EXPECT_EQ(move_to_folder(nullptr, temp.narrow().c_str()), -100);
    EXPECT_EQ(move_to_folder(Narrow(temp / L"file.zip").c_str(), nullptr), -100);
}

TEST(MultiByteBuffer, ConvertsAndKeepsNullAsNull)
{
    const MultiByteBuffer none(nullptr, CP_ACP);
    EXPECT_TRUE(none.ok());
    EXPECT_EQ(none.get(), nullptr);
    const MultiByteBuffer chinese(L"绘途", 936);
    ASSERT_TRUE(chinese.ok());
    EXPECT_STREQ(chinese.get(), "\xBB\xE6\xCD\xBE");
}

TEST(NarrowPaths, DoubleByteCharactersEndingInABackslashByteStayWhole)
{
    TempFolder temp;
    const std::string base = temp.narrow();
    const std::string deep = base + "\\\x9C\x5C\\\xB6\x5C";  // 淺\禱
    EXPECT_EQ(ensure_folder(deep.c_str()), 0);
    EXPECT_TRUE(FolderExists(temp / L"淺\\禱"));
    EXPECT_EQ(collapse_separators("\x9C\x5C\\x", '\\'), "\x9C\x5C\\x") << "淺 followed by a separator";
    WriteFileBytes(temp / L"淺\\a.txt", "a");
    EXPECT_TRUE(rename_path((base + "\\\x9C\x5C\\a.txt").c_str(), "b.txt"));
    EXPECT_TRUE(FileExists(temp / L"淺\\b.txt"));
    EXPECT_EQ(move_to_folder(Narrow(temp / L"淺\\b.txt").c_str(), deep.c_str()), 0);
    EXPECT_TRUE(FileExists(temp / L"淺\\禱\\b.txt"));
}

}  // namespace
