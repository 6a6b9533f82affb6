// The entries a Zipper writes: their names relative to the base folder, their attributes and
// dates, and which sources it refuses.
#include "tests/zipper/ZipperFixture.h"

using namespace testing_support;
using namespace zipper_tests;

namespace {

using Names = std::vector<std::string>;

class ZipperEntriesTest : public ZipperTest {
protected:
    void SetUp() override
    {
        Folder(L"data");
        ASSERT_TRUE(m_zipper.OpenZip(NarrowPath(L"out.zip").c_str(), NarrowPath(L"data").c_str()));
    }

    // The entry names of the closed archive; with repeatedNames, the installer's reader refuses
    // it, as it refuses any archive that names one file twice.
    Names Close(bool repeatedNames = false)
    {
        EXPECT_TRUE(m_zipper.CloseZip());
        EXPECT_EQ(ReaderRefusal(Path(L"out.zip")), repeatedNames ? EntryRefusal::Collision : EntryRefusal::None);
        return EntryNames(Path(L"out.zip"));
    }

    Zipper m_zipper;
};

TEST_F(ZipperEntriesTest, AFileIsNamedByItsPathBelowTheBaseFolder)
{
    File(L"data\\sub\\deep\\x.txt", "x content");
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"data\\sub\\deep\\x.txt").c_str()));
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"DATA/sub//deep\\x.txt").c_str()));
    EXPECT_EQ(Close(true), Names({"sub\\deep\\x.txt", "sub\\deep\\x.txt"}));
    EXPECT_EQ(Unpacked(Path(L"out.zip")).at("sub\\deep\\x.txt"), "x content");
}

TEST_F(ZipperEntriesTest, RelativePathsAreReadFromTheBaseFolder)
{
    File(L"data\\x.txt", "x");
    File(L"data\\sub\\y.txt", "y");
    // The current folder holds files of the same names, which must not be taken.
    File(L"elsewhere\\x.txt", "wrong x");
    ASSERT_TRUE(::SetCurrentDirectoryW(Path(L"elsewhere").c_str()));
    EXPECT_TRUE(m_zipper.AddFileToZip(".\\x.txt"));
    EXPECT_TRUE(m_zipper.AddFileToZip("sub/y.txt"));
    EXPECT_TRUE(m_zipper.AddFileToZip("\\sub\\y.txt"));
    ::SetCurrentDirectoryW(m_root.path().c_str());
    const Names names = Close(true);
    EXPECT_EQ(names, Names({"x.txt", "sub\\y.txt", "sub\\y.txt"}));
    EXPECT_EQ(Unpacked(Path(L"out.zip")).at("x.txt"), "x");
}

TEST_F(ZipperEntriesTest, SourcesOutsideTheBaseFolderAreRefused)
{
    // The base folder is C:\...\data; C:\...\database only shares its first letters.
    File(L"database\\x.txt", "outside");
    File(L"outside.txt", "outside");
    File(L"data\\sub\\inside.txt", "inside");
    EXPECT_FALSE(m_zipper.AddFileToZip(NarrowPath(L"database\\x.txt").c_str()));
    EXPECT_FALSE(m_zipper.AddFileToZip(NarrowPath(L"data\\..\\outside.txt").c_str()));
    EXPECT_FALSE(m_zipper.AddFileToZip("..\\outside.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip("sub\\..\\..\\outside.txt"));
    EXPECT_EQ(CountersOf(m_zipper).nFileCount, 0);
    // Without the path, the entry name cannot lead anywhere: any file may be added.
    EXPECT_TRUE(m_zipper.AddFileToZip("..\\outside.txt", true));
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"database\\x.txt").c_str(), true));
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"data\\sub\\inside.txt").c_str(), true));
    EXPECT_EQ(Close(), Names({"outside.txt", "x.txt", "inside.txt"}));
}

TEST_F(ZipperEntriesTest, AMissingFileIsRefusedAndNotCounted)
{
    EXPECT_FALSE(m_zipper.AddFileToZip(NarrowPath(L"data\\missing.txt").c_str()));
    EXPECT_FALSE(m_zipper.AddFileToZip(NarrowPath(L"data").c_str()));
    EXPECT_EQ(CountersOf(m_zipper).nFileCount, 0);
    EXPECT_TRUE(m_zipper.CloseZip());
    EXPECT_TRUE(ReadEntries(Path(L"out.zip")).empty());
}

TEST_F(ZipperEntriesTest, FileEntriesCarryTheLocalModificationTimeAndTheirAttributes)
{
    File(L"data\\dated.txt", "dated");
    SetLocalWriteTime(Path(L"data\\dated.txt"), 2021, 7, 14, 9, 26, 52);
    ASSERT_TRUE(::SetFileAttributesW(Path(L"data\\dated.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = ::GetFileAttributesW(Path(L"data\\dated.txt").c_str());
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"data\\dated.txt").c_str()));
    // The folder form keeps the read-only bit; the path form leaves it out.
    EXPECT_TRUE(m_zipper.AddFileToZip(NarrowPath(L"data\\dated.txt").c_str(), "kept"));
    Close();
    ::SetFileAttributesW(Path(L"data\\dated.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    const StoredEntry plain = EntryNamed(Path(L"out.zip"), "dated.txt");
    EXPECT_EQ(plain.dosDate, DosDateTime(2021, 7, 14, 9, 26, 52));
    EXPECT_EQ(plain.attributes, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(plain.size, 5u);
    const StoredEntry kept = EntryNamed(Path(L"out.zip"), "kept\\dated.txt");
    EXPECT_EQ(kept.attributes, attributes);
    EXPECT_EQ(kept.dosDate, DosDateTime(2021, 7, 14, 9, 26, 52));
}

TEST_F(ZipperEntriesTest, TheFolderFormNamesTheFileUnderTheGivenFolder)
{
    File(L"elsewhere\\report.txt", "report");
    const std::string source = NarrowPath(L"elsewhere\\report.txt");
    EXPECT_TRUE(m_zipper.AddFileToZip(source.c_str(), "docs/2024"));
    EXPECT_TRUE(m_zipper.AddFileToZip(source.c_str(), "\\ docs\\\\"));
    EXPECT_TRUE(m_zipper.AddFileToZip(source.c_str(), ""));
    EXPECT_TRUE(m_zipper.AddFileToZip(source.c_str(), static_cast<const char*>(nullptr)));
    EXPECT_FALSE(m_zipper.AddFileToZip(source.c_str(), "C:\\docs"));
    EXPECT_FALSE(m_zipper.AddFileToZip(source.c_str(), "..\\up"));
    EXPECT_FALSE(m_zipper.AddFileToZip(NarrowPath(L"elsewhere\\missing.txt").c_str(), "docs"));
    EXPECT_EQ(Close(true), Names({"docs\\2024\\report.txt", "docs\\report.txt", "report.txt", "report.txt"}));
    EXPECT_EQ(Unpacked(Path(L"out.zip")).at("docs\\2024\\report.txt"), "report");
}

TEST_F(ZipperEntriesTest, BytesAreWrittenInBlocksUnderTheCurrentUtcDate)
{
    std::string data(5000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i * 7 % 26);
    SYSTEMTIME before, after;
    ::GetSystemTime(&before);
    EXPECT_TRUE(m_zipper.AddFileToZip(data.data(), static_cast<int>(data.size()), "blocks/data.bin"));
    ::GetSystemTime(&after);
    EXPECT_EQ(Close(), Names({"blocks\\data.bin"}));

    EXPECT_EQ(Unpacked(Path(L"out.zip")).at("blocks\\data.bin"), data);
    const StoredEntry entry = EntryNamed(Path(L"out.zip"), "blocks\\data.bin");
    EXPECT_EQ(entry.attributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    const DWORD day = HIWORD(entry.dosDate);
    EXPECT_TRUE(day == HIWORD(DosDateTime(before.wYear, before.wMonth, before.wDay, 0, 0, 0)) ||
                day == HIWORD(DosDateTime(after.wYear, after.wMonth, after.wDay, 0, 0, 0)));
    EXPECT_EQ(CountersOf(m_zipper).dwTotalBytes, 5000u);
}

TEST_F(ZipperEntriesTest, AZeroByteEntryIsWritten)
{
    EXPECT_TRUE(m_zipper.AddFileToZip(nullptr, 0, "empty.txt"));
    EXPECT_TRUE(m_zipper.AddFileToZip("", 0, "sub\\empty.txt"));
    EXPECT_EQ(Close(), Names({"empty.txt", "sub\\empty.txt"}));
    EXPECT_EQ(EntryNamed(Path(L"out.zip"), "empty.txt").size, 0u);
    EXPECT_EQ(Unpacked(Path(L"out.zip")).at("empty.txt"), "");
    EXPECT_EQ(CountersOf(m_zipper).nFileCount, 2);
}

TEST_F(ZipperEntriesTest, BytesWithoutAUsableNameOrSizeAreRefused)
{
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", -1, "negative.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip(nullptr, 3, "null.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, "C:\\drive.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, "..\\up.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, "a\\..\\..\\up.txt"));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, " \\ "));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, nullptr));
    EXPECT_FALSE(m_zipper.AddFileToZip("abc", 3, "bad|name.txt"));
    EXPECT_EQ(CountersOf(m_zipper).nFileCount, 0);
    EXPECT_TRUE(m_zipper.CloseZip());
    EXPECT_TRUE(ReadEntries(Path(L"out.zip")).empty());
}

// A file that opens but cannot be read: the reading fails at once on the Linux side of Wine.
TEST_F(ZipperEntriesTest, AReadErrorFailsTheAddition)
{
    const char* unreadable = "Z:\\proc\\self\\mem";
    ASSERT_NE(::GetFileAttributesA(unreadable), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(m_zipper.AddFileToZip(unreadable, true));
    EXPECT_FALSE(m_zipper.AddFileToZip(unreadable, "proc"));
    EXPECT_TRUE(m_zipper.CloseZip());
}

}  // namespace
