// The Zipper's archive as a whole: opening, appending, closing, the counters, and copies.
#include "tests/zipper/ZipperFixture.h"

#include <type_traits>

using namespace testing_support;
using namespace zipper_tests;

namespace {

using Names = std::vector<std::string>;

// Callers allocate Zipper objects themselves, so the layout is part of the exported interface
// of the shipped 32-bit setup.exe.
static_assert(sizeof(Z_FileInfo) == 12, "three 32-bit counters");
#if defined(__i386__)
static_assert(sizeof(Zipper) == 4 + 4 + (MAX_PATH + 1) + 3 + sizeof(Z_FileInfo), "vtable, handle, base folder, counters");
#endif

TEST_F(ZipperTest, OpenNeedsAnArchivePathAndCloseWithNothingOpenSucceeds)
{
    Zipper zipper;
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_FALSE(zipper.OpenZip(nullptr));
    EXPECT_FALSE(zipper.OpenZip(""));
    EXPECT_FALSE(zipper.OpenZip(NarrowPath(L"missing-folder\\a.zip").c_str()));
    EXPECT_FALSE(FolderExists(Path(L"missing-folder")));
    EXPECT_TRUE(zipper.CloseZip());
}

TEST_F(ZipperTest, AnArchiveIsReplacedUnlessAppendedTo)
{
    const std::string archive = NarrowPath(L"a.zip");
    {
        Zipper zipper(archive.c_str());
        EXPECT_TRUE(zipper.AddFileToZip("one", 3, "first.txt"));
    }
    EXPECT_EQ(EntryNames(Path(L"a.zip")), Names({"first.txt"}));

    Zipper zipper;
    ASSERT_TRUE(zipper.OpenZip(archive.c_str()));
    EXPECT_TRUE(zipper.AddFileToZip("two", 3, "second.txt"));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"a.zip")), Names({"second.txt"}));

    ASSERT_TRUE(zipper.OpenZip(archive.c_str(), nullptr, true));
    EXPECT_TRUE(zipper.AddFileToZip("three", 5, "third.txt"));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"a.zip")), Names({"second.txt", "third.txt"}));
    const auto files = Unpacked(Path(L"a.zip"));
    EXPECT_EQ(files.at("second.txt"), "two");
    EXPECT_EQ(files.at("third.txt"), "three");
    EXPECT_TRUE(ReaderAccepts(Path(L"a.zip")));
}

TEST_F(ZipperTest, AppendingToAMissingArchiveCreatesIt)
{
    Zipper zipper;
    ASSERT_TRUE(zipper.OpenZip(NarrowPath(L"new.zip").c_str(), nullptr, true));
    EXPECT_TRUE(zipper.AddFileToZip("x", 1, "x.txt"));
    EXPECT_TRUE(zipper.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"new.zip")), Names({"x.txt"}));
}

TEST_F(ZipperTest, AppendingToAFileThatIsNoArchiveFailsAndLeavesIt)
{
    File(L"notes.zip", "plain text, not an archive");
    Zipper zipper;
    EXPECT_FALSE(zipper.OpenZip(NarrowPath(L"notes.zip").c_str(), nullptr, true));
    EXPECT_FALSE(zipper.AddFileToZip("x", 1, "x.txt"));
    EXPECT_EQ(ReadFileBytes(Path(L"notes.zip")), "plain text, not an archive");
}

TEST_F(ZipperTest, NothingIsAddedWhileNoArchiveIsOpen)
{
    File(L"a.txt", "a");
    Zipper zipper;
    EXPECT_FALSE(zipper.AddFileToZip(NarrowPath(L"a.txt").c_str(), false));
    EXPECT_FALSE(zipper.AddFileToZip(NarrowPath(L"a.txt").c_str(), "folder"));
    EXPECT_FALSE(zipper.AddFileToZip("a", 1, "a.txt"));
    EXPECT_FALSE(zipper.AddFolderToZip(m_root.narrow().c_str(), false));
    const Z_FileInfo info = CountersOf(zipper);
    EXPECT_EQ(info.nFileCount, 0);
    EXPECT_EQ(info.nFolderCount, 0);
    EXPECT_EQ(info.dwTotalBytes, 0u);
}

TEST_F(ZipperTest, CountersSurviveCloseAndStartAgainAtTheNextOpen)
{
    File(L"data\\a.txt", "12345");
    File(L"data\\sub\\b.txt", "1234567");
    Folder(L"database");
    Zipper zipper;
    ASSERT_TRUE(zipper.OpenZip(NarrowPath(L"c.zip").c_str(), NarrowPath(L"data").c_str()));
    EXPECT_TRUE(zipper.AddFolderToZip(NarrowPath(L"data").c_str(), false));       // 2 folders, 2 files, 12 bytes
    EXPECT_TRUE(zipper.AddFileToZip("abc", 3, "extra.txt"));                      // 1 file, 3 bytes
    EXPECT_FALSE(zipper.AddFileToZip(NarrowPath(L"data\\missing.txt").c_str()));  // not counted
    EXPECT_FALSE(zipper.AddFolderToZip(NarrowPath(L"database").c_str()));         // outside, still counted
    EXPECT_TRUE(zipper.CloseZip());

    Z_FileInfo info = CountersOf(zipper);
    EXPECT_EQ(info.nFileCount, 3);
    EXPECT_EQ(info.nFolderCount, 3);
    EXPECT_EQ(info.dwTotalBytes, 15u);

    ASSERT_TRUE(zipper.OpenZip(NarrowPath(L"d.zip").c_str()));
    info = CountersOf(zipper);
    EXPECT_EQ(info.nFileCount, 0);
    EXPECT_EQ(info.nFolderCount, 0);
    EXPECT_EQ(info.dwTotalBytes, 0u);
}

TEST_F(ZipperTest, TheDestructorWritesTheArchiveOut)
{
    {
        Zipper zipper(NarrowPath(L"d.zip").c_str());
        EXPECT_TRUE(zipper.AddFileToZip("kept", 4, "kept.txt"));
    }
    EXPECT_TRUE(ReaderAccepts(Path(L"d.zip")));
    EXPECT_EQ(Unpacked(Path(L"d.zip")).at("kept.txt"), "kept");
}

TEST_F(ZipperTest, ACopyOfAnOpenZipperIsClosedAndKeepsBaseFolderAndCounters)
{
    static_assert(std::is_copy_constructible<Zipper>::value && std::is_copy_assignable<Zipper>::value,
                  "copying stays part of the interface");
    ZipperProbe original(NarrowPath(L"e.zip").c_str(), NarrowPath(L"base").c_str());
    ASSERT_TRUE(original.AddFileToZip("one", 3, "one.txt"));
    {
        const ZipperProbe copy(original);
        EXPECT_EQ(copy.SourcePath("x.txt"), NarrowPath(L"base\\x.txt"));
        EXPECT_EQ(CountersOf(copy).nFileCount, 1);
        EXPECT_EQ(CountersOf(copy).dwTotalBytes, 3u);
        ZipperProbe writable(copy);
        EXPECT_FALSE(writable.AddFileToZip("two", 3, "two.txt"));
        EXPECT_TRUE(writable.CloseZip());
    }
    // The copies are gone; the original's archive is still open and whole.
    EXPECT_TRUE(original.AddFileToZip("three", 5, "three.txt"));
    EXPECT_TRUE(original.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"e.zip")), Names({"one.txt", "three.txt"}));
    EXPECT_TRUE(ReaderAccepts(Path(L"e.zip")));
}

TEST_F(ZipperTest, AssignmentClosesTheTargetsOwnArchiveFirst)
{
    Zipper target(NarrowPath(L"target.zip").c_str());
    Zipper source(NarrowPath(L"source.zip").c_str());
    ASSERT_TRUE(target.AddFileToZip("t", 1, "t.txt"));
    ASSERT_TRUE(source.AddFileToZip("s", 1, "s.txt"));

    target = source;
    EXPECT_EQ(EntryNames(Path(L"target.zip")), Names({"t.txt"}));
    EXPECT_EQ(CountersOf(target).nFileCount, 1);
    EXPECT_FALSE(target.AddFileToZip("x", 1, "x.txt"));

    Zipper& alias = source;
    source = alias;
    EXPECT_TRUE(source.AddFileToZip("u", 1, "u.txt"));
    EXPECT_TRUE(source.CloseZip());
    EXPECT_EQ(EntryNames(Path(L"source.zip")), Names({"s.txt", "u.txt"}));
}

}  // namespace
