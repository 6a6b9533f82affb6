// Unpacking archives built by the tests: folder structure, times, attributes, filters, and
// archives that must be refused.
#include <gtest/gtest.h>

#include <string>

#include "archive/Unzipper.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr WORD kDosDate = (46 << 9) | (3 << 5) | 14;  // 2026-03-14
constexpr WORD kDosTime = (9 << 11) | (26 << 5) | (53 / 2);  // 09:26:52

// An archive written to a scratch folder.
struct ArchiveOnDisk {
    TempFolder folder;
    std::wstring path;
    explicit ArchiveOnDisk(const std::string& bytes) : path(folder / L"archive.zip") { WriteFileBytes(path, bytes); }
    std::string narrow() const { return Narrow(path); }
};

FILETIME LastWrite(const std::wstring& path, FILETIME* created = nullptr)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    if (created) *created = data.ftCreationTime;
    return data.ftLastWriteTime;
}

FILETIME DosToUtc(WORD date, WORD time)
{
    FILETIME local{}, utc{};
    ::DosDateTimeToFileTime(date, time, &local);
    ::LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

TEST(Unzipper, KeepsFoldersTimesAndAttributes)
{
    const ArchiveOnDisk archive(ZipBuilder()
                                    .Folder("a/")
                                    .File("a/b/c.txt", "deep", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime)
                                    .File("top.txt", "top", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, kDosDate, kDosTime)
                                    .Build());
    TempFolder target;
    Unzipper unzipper;
    ASSERT_TRUE(unzipper.OpenZip(archive.narrow().c_str()));
    EXPECT_EQ(unzipper.GetFileCount(), 3u);
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\x\\").c_str()));

    EXPECT_EQ(ReadFileBytes(target / L"x\\a\\b\\c.txt"), "deep");
    EXPECT_EQ(ReadFileBytes(target / L"x\\top.txt"), "top");
    FILETIME created{};
    const FILETIME written = LastWrite(target / L"x\\a\\b\\c.txt", &created);
    EXPECT_TRUE(SameTime(written, DosToUtc(kDosDate, kDosTime)));
    EXPECT_TRUE(SameTime(created, written)) << "creation time is the entry's time too";
    EXPECT_EQ(::GetFileAttributesW((target / L"x\\top.txt").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ::SetFileAttributesW((target / L"x\\top.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Unzipper, TrailingBackslashOfTheTargetMakesNoDifference)
{
    const ArchiveOnDisk archive(ZipBuilder().File("a/b/c.txt", "c").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\with\\").c_str()));
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\without").c_str()));
    EXPECT_EQ(ListTree(target / L"with"), ListTree(target / L"without"));
}

TEST(Unzipper, IgnorePathsDropsTheFolders)
{
    const ArchiveOnDisk archive(ZipBuilder().File("a/b/c.txt", "c").File("d.txt", "d").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str(), true));
    EXPECT_EQ(ListTree(target.path()), (std::vector<std::wstring>{L"c.txt", L"d.txt"}));
}

TEST(Unzipper, DefaultTargetIsTheArchivePathWithoutExtension)
{
    const ArchiveOnDisk archive(ZipBuilder().File("inside.txt", "i").Build());
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll());
    EXPECT_EQ(ReadFileBytes(archive.folder / L"archive\\inside.txt"), "i");
}

TEST(Unzipper, ReplacesExistingFilesReadOnlyOnesToo)
{
    const ArchiveOnDisk archive(ZipBuilder().File("same.txt", "new", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime).Build());
    TempFolder target;
    WriteFileBytes(target / L"same.txt", "an older and much longer content");
    ::SetFileAttributesW((target / L"same.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str()));
    EXPECT_EQ(ReadFileBytes(target / L"same.txt"), "new");
    EXPECT_TRUE(SameTime(LastWrite(target / L"same.txt"), DosToUtc(kDosDate, kDosTime)));
}

TEST(Unzipper, EmptyArchiveIsRefusedAndWritesNothing)
{
    const ArchiveOnDisk archive(ZipBuilder().Build());
    TempFolder target;
    Unzipper unzipper;
    unzipper.OpenZip(archive.narrow().c_str());
    EXPECT_EQ(unzipper.GetFileCount(), 0u);
    EXPECT_FALSE(unzipper.CheckAllEntries());
    EXPECT_FALSE(unzipper.ExtractAll((target.narrow() + "\\x").c_str()));
    EXPECT_FALSE(FolderExists(target / L"x"));
}

TEST(Unzipper, ExtensionFilterIgnoresCaseAndTheDot)
{
    const ArchiveOnDisk archive(ZipBuilder().File("c.text", "").File("a.txt", "").File("b.Txt", "").File("d.doc", "").Build());
    Unzipper unzipper(archive.narrow().c_str());
    UZ_FileInfo info;
    ASSERT_TRUE(unzipper.GotoFirstFile("TXT"));
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "a.txt");
    ASSERT_TRUE(unzipper.GotoNextFile(".txt"));
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "b.Txt");
    EXPECT_FALSE(unzipper.GotoNextFile("txt"));
}

TEST(Unzipper, ReportsEntryInformationWithBackslashes)
{
    const ArchiveOnDisk archive(ZipBuilder().Folder("dir/").File("dir/f.bin", "12345", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime).Build());
    Unzipper unzipper(archive.narrow().c_str());
    UZ_FileInfo info;
    ASSERT_TRUE(unzipper.GotoFirstFile());
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "dir\\");
    EXPECT_TRUE(info.bFolder);
    ASSERT_TRUE(unzipper.GotoNextFile());
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "dir\\f.bin");
    EXPECT_FALSE(info.bFolder);
    EXPECT_EQ(info.dwUncompressedSize, 5u);
    EXPECT_EQ(info.dwDosDate, (static_cast<DWORD>(kDosDate) << 16) | kDosTime);
}

TEST(Unzipper, NothingOpenMeansEveryOperationFails)
{
    Unzipper unzipper;
    UZ_FileInfo info;
    EXPECT_FALSE(unzipper.OpenZip(nullptr));
    EXPECT_FALSE(unzipper.OpenZip(""));
    EXPECT_FALSE(unzipper.CloseZip());
    EXPECT_FALSE(unzipper.GotoFirstFile());
    EXPECT_FALSE(unzipper.GetFileInfo(info));
    EXPECT_FALSE(unzipper.ExtractAll("C:\\x"));
    EXPECT_EQ(unzipper.GetFileCount(), 0u);
}

TEST(Unzipper, ChineseNamesInTheAnsiCodePage)
{
    // 说明.txt in code page 936, as archives made on Chinese Windows store it.
    const ArchiveOnDisk archive(ZipBuilder().File("\xCB\xB5\xC3\xF7.txt", "gbk").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str()));
    EXPECT_EQ(ReadFileBytes(target / L"说明.txt"), "gbk");
}

TEST(Unzipper, DoubleByteCharactersWhoseSecondByteIsABackslash)
{
    // 淺 and 禱 in code page 936 end in the byte 0x5C; they are characters, not separators.
    const std::string folder = "\x9C\x5C";   // 淺
    const std::string file = "\xB6\x5C.txt"; // 禱.txt
    const ArchiveOnDisk archive(ZipBuilder().File(folder + "/" + file, "dbcs").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\" + folder).c_str()));
    EXPECT_EQ(ReadFileBytes(target / (Widen(folder) + L"\\" + Widen(folder) + L"\\" + Widen(file))), "dbcs");
}

}  // namespace
