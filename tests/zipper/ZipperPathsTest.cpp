// How the Zipper takes paths: fixed MAX_PATH buffers that refuse instead of truncating, network
// paths, and narrow text in code page 936 whose double-byte characters may end in 0x5C, '\'.
#include "tests/zipper/ZipperFixture.h"

#include <algorithm>
#include <cstdio>

using namespace testing_support;
using namespace zipper_tests;

namespace {

// A file whose path may exceed MAX_PATH, written through the \\?\ form.
void WriteLongPathFile(const std::wstring& path, const std::string& content)
{
    HANDLE file = ::CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
}

using ZipperPathsTest = ZipperTest;

TEST_F(ZipperPathsTest, ArchivePathsAndBaseFoldersThatDoNotFitAreRefused)
{
    // The folder fits; the archive inside it does not. Cut to MAX_PATH it would be a valid name.
    const std::wstring folder(200, L'f');
    Folder(folder);
    const std::string archive = NarrowPath(folder + L"\\" + std::wstring(100, L'a') + L".zip");
    ASSERT_GE(archive.size(), static_cast<size_t>(MAX_PATH));
    Zipper zipper;
    EXPECT_FALSE(zipper.OpenZip(archive.c_str()));
    EXPECT_TRUE(ListTree(Path(folder)).empty());

    EXPECT_FALSE(zipper.OpenZip(NarrowPath(L"fits.zip").c_str(), (NarrowPath(folder) + "\\" + std::string(100, 'b')).c_str()));
    EXPECT_FALSE(FileExists(Path(L"fits.zip")));
    EXPECT_TRUE(zipper.CloseZip());
}

TEST_F(ZipperPathsTest, SourcesAndNamesThatDoNotFitAreRefused)
{
    Folder(L"data");
    const std::string base = NarrowPath(L"data");
    ZipperProbe zipper(NarrowPath(L"out.zip").c_str(), base.c_str());

    // Joined to the base folder the relative path is too long; a file at the cut-off path
    // exists, so that a truncating join would find something to add.
    const std::string relative(MAX_PATH + 5 - base.size(), 'r');
    const std::string joined = base + "\\" + relative;
    File(Path(L"data\\" + Widen(joined.substr(base.size() + 1, MAX_PATH - 1 - base.size() - 1))), "cut");
    EXPECT_EQ(zipper.SourcePath(relative), "(refused)");
    EXPECT_FALSE(zipper.AddFileToZip(relative.c_str()));

    const std::string tooLong = base + "\\" + std::string(150, 'x') + "\\" + std::string(150, 'y');
    EXPECT_FALSE(zipper.AddFileToZip(tooLong.c_str(), true));
    EXPECT_FALSE(zipper.AddFolderToZip(tooLong.c_str(), true));
    EXPECT_FALSE(zipper.AddFileToZip("abc", 3, std::string(300, 'e').c_str()));
    File(L"data\\short.txt", "short");
    EXPECT_FALSE(zipper.AddFileToZip(NarrowPath(L"data\\short.txt").c_str(), std::string(255, 'd').c_str()));

    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_TRUE(ReadEntries(Path(L"out.zip")).empty());
}

TEST_F(ZipperPathsTest, AWalkSkipsFilesWhosePathDoesNotFit)
{
    const std::wstring walk = Path(L"walk");
    File(L"walk\\short.txt", "short");
    const std::wstring longName(255 - 4, L'l');
    WriteLongPathFile(walk + L"\\" + longName + L".txt", "long");
    // What a truncating join would make of the long name: it exists, and is added once.
    const std::wstring cut = (walk + L"\\" + longName).substr(0, MAX_PATH - 1).substr(walk.size() + 1);
    File(L"walk\\" + cut, "cut");

    EXPECT_TRUE(Zipper::zip_folder(Narrow(walk).c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"walk.zip"))), Sorted({"short.txt", Narrow(cut)}));
    EXPECT_TRUE(ReaderAccepts(Path(L"walk.zip")));
    ::DeleteFileW((L"\\\\?\\" + walk + L"\\" + longName + L".txt").c_str());
}

TEST_F(ZipperPathsTest, NetworkPathsAreRefused)
{
    // \\users\...\net.zip with one backslash dropped would be C:\users\...\net.zip, here.
    ASSERT_TRUE(::SetCurrentDirectoryW(m_root.path().c_str()));
    const std::string rooted = m_root.narrow().substr(2);
    File(L"net.txt", "net");
    Zipper zipper;
    EXPECT_FALSE(zipper.OpenZip(("\\" + rooted + "\\net.zip").c_str()));
    std::string slashed = "/" + rooted + "/net.zip";
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    EXPECT_FALSE(zipper.OpenZip(slashed.c_str()));
    EXPECT_FALSE(Zipper::zip_file(("\\" + rooted + "\\net.txt").c_str()));
    EXPECT_FALSE(FileExists(Path(L"net.zip")));

    ASSERT_TRUE(zipper.OpenZip(NarrowPath(L"local.zip").c_str()));
    EXPECT_FALSE(zipper.AddFileToZip(("\\" + rooted + "\\net.txt").c_str(), true));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_TRUE(ReadEntries(Path(L"local.zip")).empty());
}

// 淺 is 9C 5C and 禱 B6 5C in code page 936: their second byte is the backslash.
TEST_F(ZipperPathsTest, DoubleByteCharactersEndingInTheBackslashByteStayWhole)
{
    ASSERT_EQ(::GetACP(), 936u);
    ASSERT_EQ(Narrow(L"淺"), "\x9C\x5C");
    File(L"outer\\淺\\禱.txt", "prayer");
    File(L"outer\\淺\\子\\籠.txt", "cage");

    EXPECT_TRUE(Zipper::zip_folder(NarrowPath(L"outer\\淺").c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"outer\\淺.zip"))), Sorted({Narrow(L"禱.txt"), Narrow(L"子"), Narrow(L"子\\籠.txt")}));

    EXPECT_TRUE(Zipper::zip_folder(NarrowPath(L"outer").c_str(), true));
    EXPECT_EQ(Sorted(EntryNames(Path(L"outer.zip"))),
              Sorted({Narrow(L"淺"), Narrow(L"淺.zip"), Narrow(L"禱.txt"), Narrow(L"子"), Narrow(L"籠.txt")}));

    Zipper zipper(NarrowPath(L"named.zip").c_str());
    EXPECT_TRUE(zipper.AddFileToZip(NarrowPath(L"outer\\淺\\禱.txt").c_str()));
    EXPECT_TRUE(zipper.AddFileToZip(NarrowPath(L"outer\\淺\\禱.txt").c_str(), Narrow(L"淺").c_str()));
    EXPECT_TRUE(zipper.AddFileToZip("x", 1, Narrow(L"淺\\禱").c_str()));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"named.zip")), Names({Narrow(L"outer\\淺\\禱.txt"), Narrow(L"淺\\禱.txt"), Narrow(L"淺\\禱")}));
    EXPECT_EQ(EntryNamed(Path(L"named.zip"), Narrow(L"淺\\禱.txt")).size, 6u);
}

TEST_F(ZipperPathsTest, PathsLoseTrailingAndEntryNamesLeadingBlanksAndBackslashes)
{
    char path[MAX_PATH] = "C:\\data \\ \t\\";
    ZipperProbe::UnterminatePath(path);
    EXPECT_STREQ(path, "C:\\data");
    const std::string dbcs = "C:\\" + Narrow(L"淺") + "\\";
    std::snprintf(path, sizeof(path), "%s", dbcs.c_str());
    ZipperProbe::UnterminatePath(path);
    EXPECT_EQ(std::string(path), "C:\\" + Narrow(L"淺"));

    char name[MAX_PATH] = " \\\\ a b\\c \\ ";
    ZipperProbe::PrepareZipPath(name);
    EXPECT_STREQ(name, "a b\\c");
    char blank[MAX_PATH] = " \\ ";
    ZipperProbe::PrepareZipPath(blank);
    EXPECT_STREQ(blank, "");
}

}  // namespace
