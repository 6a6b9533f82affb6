// The one-call archive functions: Zipper::zip_file and Zipper::zip_folder, and the exported
// zip_file, zip_folder, zip_add_file and zip_add_folder in their narrow form.
#include "tests/zipper/ZipperFixture.h"

#include <algorithm>

using namespace testing_support;
using namespace zipper_tests;

namespace {

class ZipFunctionsTest : public ZipperTest {
protected:
    void SetUp() override
    {
        File(L"work\\report.txt", "the report");
        File(L"work\\proj\\a.txt", "a");
        File(L"work\\proj\\sub\\b.txt", "b");
        File(L"work\\proj\\.settings\\hidden.txt", "hidden");
        File(L"work\\proj\\.hidden.txt", "hidden");
    }
};

TEST_F(ZipFunctionsTest, ZipFileWritesTheArchiveBesideTheFile)
{
    EXPECT_TRUE(Zipper::zip_file(NarrowPath(L"work\\report.txt").c_str()));
    EXPECT_EQ(EntryNames(Path(L"work\\report.zip")), Names({"report.txt"}));
    EXPECT_EQ(Unpacked(Path(L"work\\report.zip")).at("report.txt"), "the report");

    ASSERT_TRUE(::SetCurrentDirectoryW(Path(L"work").c_str()));
    EXPECT_TRUE(zip_file("proj/a.txt"));
    ::SetCurrentDirectoryW(m_root.path().c_str());
    EXPECT_EQ(EntryNames(Path(L"work\\proj\\a.zip")), Names({"a.txt"}));
}

TEST_F(ZipFunctionsTest, ZipFileNeverReplacesAnArchiveWithoutASource)
{
    File(L"work\\missing.zip", "an older archive");
    EXPECT_FALSE(Zipper::zip_file(NarrowPath(L"work\\missing.txt").c_str()));
    EXPECT_FALSE(zip_file(NarrowPath(L"work\\missing.txt").c_str(), nullptr));
    EXPECT_EQ(ReadFileBytes(Path(L"work\\missing.zip")), "an older archive");
    // An archive's own archive would be the archive itself.
    EXPECT_FALSE(zip_file(NarrowPath(L"work\\missing.ZIP").c_str(), nullptr));
    EXPECT_EQ(ReadFileBytes(Path(L"work\\missing.zip")), "an older archive");
    EXPECT_FALSE(zip_file(NarrowPath(L"work\\proj").c_str(), nullptr));
    EXPECT_FALSE(zip_file("", nullptr));
    EXPECT_FALSE(zip_file(static_cast<const char*>(nullptr), nullptr));
}

TEST_F(ZipFunctionsTest, ZipFileMovesTheArchiveToTheDestinationAndNamesItAfterIt)
{
    DriveDFolder drive;
    EXPECT_TRUE(zip_file(NarrowPath(L"work\\report.txt").c_str(), Narrow(drive / L"out\\final.dat").c_str()));
    EXPECT_EQ(EntryNames(drive / L"out\\final.zip"), Names({"report.txt"}));
    EXPECT_FALSE(FileExists(drive / L"out\\report.zip"));
    EXPECT_FALSE(FileExists(Path(L"work\\report.zip")));
    EXPECT_EQ(ReadFileBytes(Path(L"work\\report.txt")), "the report");
}

TEST_F(ZipFunctionsTest, DestinationsThatNeedNoMoveOrNoRename)
{
    DriveDFolder drive;
    // The source's own folder: only renamed.
    EXPECT_TRUE(zip_file(NarrowPath(L"work\\report.txt").c_str(), NarrowPath(L"work\\final.dat").c_str()));
    EXPECT_TRUE(FileExists(Path(L"work\\final.zip")));
    EXPECT_FALSE(FileExists(Path(L"work\\report.zip")));
    // The archive's own name: only moved.
    EXPECT_TRUE(zip_file(NarrowPath(L"work\\report.txt").c_str(), Narrow(drive / L"same\\report.dat").c_str()));
    EXPECT_EQ(EntryNames(drive / L"same\\report.zip"), Names({"report.txt"}));
    // Only a folder: moved, keeping its name.
    EXPECT_TRUE(zip_file(NarrowPath(L"work\\report.txt").c_str(), (Narrow(drive / L"folder") + "\\").c_str()));
    EXPECT_EQ(EntryNames(drive / L"folder\\report.zip"), Names({"report.txt"}));
}

TEST_F(ZipFunctionsTest, AnExistingDestinationIsNotReplaced)
{
    DriveDFolder drive;
    WriteFileBytes(drive / L"out\\final.zip", "kept");
    EXPECT_FALSE(zip_file(NarrowPath(L"work\\report.txt").c_str(), Narrow(drive / L"out\\final.zip").c_str()));
    EXPECT_EQ(ReadFileBytes(drive / L"out\\final.zip"), "kept");
    // The archive stays where the last step that succeeded put it.
    EXPECT_EQ(EntryNames(drive / L"out\\report.zip"), Names({"report.txt"}));
}

TEST_F(ZipFunctionsTest, ZipFolderHoldsTheFolderContentsWithOrWithoutPaths)
{
    EXPECT_TRUE(Zipper::zip_folder(NarrowPath(L"work\\proj").c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\proj.zip"))), Names({"a.txt", "sub", "sub\\b.txt"}));
    EXPECT_TRUE(ReaderAccepts(Path(L"work\\proj.zip")));

    EXPECT_TRUE(zip_folder(NarrowPath(L"work/proj").c_str(), true, nullptr));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\proj.zip"))), Names({"a.txt", "b.txt", "sub"}));

    DriveDFolder drive;
    EXPECT_TRUE(zip_folder(NarrowPath(L"work\\proj").c_str(), false, Narrow(drive / L"bundles\\proj-1.0.bin").c_str()));
    // Only the last extension is the destination's own.
    EXPECT_EQ(Sorted(EntryNames(drive / L"bundles\\proj-1.0.zip")), Names({"a.txt", "sub", "sub\\b.txt"}));
    EXPECT_EQ(Unpacked(drive / L"bundles\\proj-1.0.zip").at("sub\\b.txt"), "b");
}

TEST_F(ZipFunctionsTest, ZipFolderRefusesWhatIsNoFolder)
{
    File(L"work\\gone.zip", "an older archive");
    EXPECT_FALSE(zip_folder(NarrowPath(L"work\\gone").c_str(), false, nullptr));
    EXPECT_FALSE(Zipper::zip_folder(NarrowPath(L"work\\report.txt").c_str(), false));
    EXPECT_EQ(ReadFileBytes(Path(L"work\\gone.zip")), "an older archive");
    EXPECT_FALSE(FileExists(Path(L"work\\report.txt.zip")));
}

// A folder path that ends in a backslash has no last name: its archive is .zip inside it, which
// no walk takes, as its name begins with a dot.
TEST_F(ZipFunctionsTest, AFolderPathEndingInABackslashGetsItsArchiveInside)
{
    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(zip_folder((NarrowPath(L"work\\proj") + "\\").c_str(), false, nullptr));
        EXPECT_EQ(Sorted(EntryNames(Path(L"work\\proj\\.zip"))), Names({"a.txt", "sub", "sub\\b.txt"}));
    }
    EXPECT_TRUE(Zipper::zip_folder((NarrowPath(L"work\\proj") + "\\").c_str(), true));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\proj\\.zip"))), Names({"a.txt", "b.txt", "sub"}));
    EXPECT_FALSE(FileExists(Path(L"work\\proj.zip")));

    DriveDFolder drive;
    EXPECT_TRUE(zip_folder((NarrowPath(L"work\\proj") + "\\").c_str(), false, Narrow(drive / L"out\\proj.zip").c_str()));
    EXPECT_EQ(Sorted(EntryNames(drive / L"out\\proj.zip")), Names({"a.txt", "sub", "sub\\b.txt"}));
}

TEST_F(ZipFunctionsTest, ZipAddFileReplacesTheArchive)
{
    const std::string archive = NarrowPath(L"work\\bundle.zip");
    EXPECT_TRUE(zip_add_folder(archive.c_str(), NarrowPath(L"work\\proj").c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\bundle.zip"))), Names({"proj", "proj\\a.txt", "proj\\sub", "proj\\sub\\b.txt"}));

    EXPECT_TRUE(zip_add_file(archive.c_str(), NarrowPath(L"work\\report.txt").c_str()));
    EXPECT_EQ(EntryNames(Path(L"work\\bundle.zip")), Names({"report.txt"}));

    // A relative source is read from the archive's folder, whatever the current folder.
    ASSERT_TRUE(::SetCurrentDirectoryW(Path(L"work\\proj").c_str()));
    EXPECT_TRUE(zip_add_file(archive.c_str(), "proj\\sub\\b.txt"));
    ::SetCurrentDirectoryW(m_root.path().c_str());
    EXPECT_EQ(EntryNames(Path(L"work\\bundle.zip")), Names({"proj\\sub\\b.txt"}));
    EXPECT_EQ(Unpacked(Path(L"work\\bundle.zip")).at("proj\\sub\\b.txt"), "b");
}

TEST_F(ZipFunctionsTest, ZipAddFileRefusesASourceOutsideTheArchivesFolder)
{
    File(L"elsewhere\\x.txt", "x");
    File(L"workshop\\y.txt", "y");
    EXPECT_FALSE(zip_add_file(NarrowPath(L"work\\bundle.zip").c_str(), NarrowPath(L"elsewhere\\x.txt").c_str()));
    EXPECT_FALSE(zip_add_file(NarrowPath(L"work\\bundle.zip").c_str(), NarrowPath(L"workshop\\y.txt").c_str()));
    EXPECT_FALSE(zip_add_file(NarrowPath(L"work\\bundle.zip").c_str(), "..\\elsewhere\\x.txt"));
    EXPECT_FALSE(zip_add_folder(NarrowPath(L"work\\bundle.zip").c_str(), NarrowPath(L"workshop").c_str(), false));
    EXPECT_TRUE(zip_add_folder(NarrowPath(L"work\\bundle.zip").c_str(), NarrowPath(L"workshop").c_str(), true));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\bundle.zip"))), Names({"workshop", "y.txt"}));
}

TEST_F(ZipFunctionsTest, ZipAddFileNeverReplacesAnArchiveWithItself)
{
    const std::string archive = NarrowPath(L"work\\bundle.zip");
    ASSERT_TRUE(zip_add_file(archive.c_str(), NarrowPath(L"work\\report.txt").c_str()));
    const std::string before = ReadFileBytes(Path(L"work\\bundle.zip"));
    EXPECT_FALSE(zip_add_file(archive.c_str(), archive.c_str()));
    EXPECT_FALSE(zip_add_file(archive.c_str(), "BUNDLE.zip"));
    EXPECT_FALSE(zip_add_file(archive.c_str(), NarrowPath(L"work\\proj\\..\\bundle.zip").c_str()));
    EXPECT_EQ(ReadFileBytes(Path(L"work\\bundle.zip")), before);
}

TEST_F(ZipFunctionsTest, AWalkLeavesOutTheArchiveItIsWriting)
{
    const std::string archive = NarrowPath(L"work\\proj\\self.zip");
    EXPECT_TRUE(zip_add_folder(archive.c_str(), NarrowPath(L"work\\proj").c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"work\\proj\\self.zip"))), Names({"a.txt", "sub", "sub\\b.txt"}));
    EXPECT_TRUE(ReaderAccepts(Path(L"work\\proj\\self.zip")));
}

}  // namespace
