// Folder walks of the Zipper: what a walk adds, how it names what it adds, and which folders it
// refuses.
#include "tests/zipper/ZipperFixture.h"

#include <algorithm>

using namespace testing_support;
using namespace zipper_tests;

namespace {

size_t IndexOf(const Names& names, const std::string& name)
{
    return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

class ZipperFoldersTest : public ZipperTest {
protected:
    // proj\a.txt, proj\sub\b.txt, proj\sub\deep\c.txt, and names beginning with a dot, which no
    // walk takes.
    void SetUp() override
    {
        File(L"proj\\a.txt", "a");
        File(L"proj\\sub\\b.txt", "bb");
        File(L"proj\\sub\\deep\\c.txt", "ccc");
        File(L"proj\\.gitignore", "hidden");
        File(L"proj\\.settings\\prefs.txt", "hidden");
        File(L"proj\\sub\\.cache\\x.txt", "hidden");
    }

    Names Walk(const std::wstring& base, const std::wstring& folder, bool ignorePath)
    {
        Zipper zipper;
        EXPECT_TRUE(zipper.OpenZip(NarrowPath(L"walk.zip").c_str(), NarrowPath(base).c_str()));
        EXPECT_TRUE(zipper.AddFolderToZip(NarrowPath(folder).c_str(), ignorePath));
        EXPECT_TRUE(zipper.CloseZip());
        EXPECT_TRUE(ReaderAccepts(Path(L"walk.zip")));
        return EntryNames(Path(L"walk.zip"));
    }
};

TEST_F(ZipperFoldersTest, TheBaseFolderGivesItsContentsWithoutAnEntryOfItsOwn)
{
    const Names names = Walk(L"proj", L"proj", false);
    EXPECT_EQ(Sorted(names), Names({"a.txt", "sub", "sub\\b.txt", "sub\\deep", "sub\\deep\\c.txt"}));
    EXPECT_LT(IndexOf(names, "sub"), IndexOf(names, "sub\\b.txt"));
    EXPECT_LT(IndexOf(names, "sub\\deep"), IndexOf(names, "sub\\deep\\c.txt"));

    const auto files = Unpacked(Path(L"walk.zip"));
    EXPECT_EQ(files.at("sub\\deep\\c.txt"), "ccc");
    EXPECT_EQ(files.count("sub\\deep\\"), 1u);
}

TEST_F(ZipperFoldersTest, AFolderBelowTheBaseFolderHasItsOwnEntry)
{
    SetLocalWriteTime(Path(L"proj\\sub"), 2019, 12, 31, 23, 58, 10);
    const Names names = Walk(L"", L"proj\\sub", false);
    EXPECT_EQ(Sorted(names), Names({"proj\\sub", "proj\\sub\\b.txt", "proj\\sub\\deep", "proj\\sub\\deep\\c.txt"}));
    EXPECT_EQ(names.front(), "proj\\sub");

    const StoredEntry folder = EntryNamed(Path(L"walk.zip"), "proj\\sub");
    EXPECT_TRUE(folder.folder);
    EXPECT_TRUE(folder.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder.size, 0u);
    EXPECT_EQ(folder.dosDate, DosDateTime(2019, 12, 31, 23, 58, 10));
}

TEST_F(ZipperFoldersTest, IgnorePathMakesTheArchiveFlat)
{
    EXPECT_EQ(Sorted(Walk(L"proj", L"proj", true)), Names({"a.txt", "b.txt", "c.txt", "deep", "sub"}));
    // A folder outside the base folder may be walked too, as nothing keeps its path.
    File(L"other\\o.txt", "o");
    EXPECT_EQ(Sorted(Walk(L"proj", L"other", true)), Names({"o.txt", "other"}));
}

TEST_F(ZipperFoldersTest, FoldersOutsideTheBaseFolderMissingFoldersAndFilesAreRefused)
{
    File(L"projects\\p.txt", "p");
    Zipper zipper;
    ASSERT_TRUE(zipper.OpenZip(NarrowPath(L"refused.zip").c_str(), NarrowPath(L"proj").c_str()));
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"projects").c_str()));
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"proj\\..\\projects").c_str()));
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"proj\\missing").c_str()));
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"proj\\missing").c_str(), true));
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"proj\\a.txt").c_str()));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_TRUE(ReadEntries(Path(L"refused.zip")).empty());
    EXPECT_EQ(CountersOf(zipper).nFolderCount, 5);
    EXPECT_EQ(CountersOf(zipper).nFileCount, 0);
}

TEST_F(ZipperFoldersTest, ARelativeBaseFolderIsTakenFromTheCurrentFolderAtOpening)
{
    ASSERT_TRUE(::SetCurrentDirectoryW(m_root.path().c_str()));
    Zipper zipper;
    ASSERT_TRUE(zipper.OpenZip("relative.zip", "proj"));
    ::SetCurrentDirectoryW(Path(L"proj\\sub").c_str());
    EXPECT_TRUE(zipper.AddFolderToZip("sub"));
    EXPECT_TRUE(zipper.AddFileToZip("a.txt"));
    EXPECT_TRUE(zipper.CloseZip());
    ::SetCurrentDirectoryW(m_root.path().c_str());
    EXPECT_EQ(Sorted(EntryNames(Path(L"relative.zip"))), Names({"a.txt", "sub", "sub\\b.txt", "sub\\deep", "sub\\deep\\c.txt"}));
}

}  // namespace
