// Archives of the Zipper's own for check-with-unzip.sh, which reads them with Linux's unzip:
// nested folders, a flat walk, an archive appended to, empty and multi-block entries.
#include "tests/zipper/ZipperFixture.h"

#include "tests/zipper/UnzipCheckOutput.h"

using namespace testing_support;
using namespace zipper_tests;

namespace {

class UnzipReadableTest : public ZipperTest {
protected:
    void SetUp() override
    {
        File(L"proj\\a.txt", "a");
        File(L"proj\\sub\\b.txt", std::string(5000, 'b'));
        File(L"proj\\sub\\deep\\c.txt", "");
        Folder(L"proj\\sub\\empty");
        File(L"proj\\.settings\\hidden.txt", "hidden");
    }
};

TEST_F(UnzipReadableTest, AFolderWithItsPaths)
{
    ASSERT_TRUE(zip_folder(NarrowPath(L"proj").c_str(), false));
    LeaveForUnzip(Path(L"proj.zip"), L"folder-with-paths",
                  {"a.txt", "sub", "sub\\b.txt", "sub\\deep", "sub\\deep\\c.txt", "sub\\empty"});
}

TEST_F(UnzipReadableTest, AFlatFolder)
{
    ASSERT_TRUE(zip_folder(Path(L"proj").c_str(), true));
    LeaveForUnzip(Path(L"proj.zip"), L"flat-folder", {"a.txt", "b.txt", "c.txt", "deep", "empty", "sub"});
}

TEST_F(UnzipReadableTest, AnArchiveAppendedTo)
{
    const std::string archive = NarrowPath(L"appended.zip");
    {
        Zipper first(archive.c_str());
        ASSERT_TRUE(first.AddFileToZip(NarrowPath(L"proj\\a.txt").c_str(), "docs"));
        ASSERT_TRUE(first.AddFileToZip(nullptr, 0, "empty.txt"));
    }
    Zipper second(archive.c_str(), NarrowPath(L"proj").c_str(), true);
    const std::string block(2048 * 3 + 1, 'x');
    ASSERT_TRUE(second.AddFileToZip(block.data(), static_cast<int>(block.size()), "blocks.bin"));
    ASSERT_TRUE(second.AddFolderToZip(NarrowPath(L"proj\\sub").c_str()));
    ASSERT_TRUE(second.CloseZip());
    LeaveForUnzip(Path(L"appended.zip"), L"appended",
                  {"docs\\a.txt", "empty.txt", "blocks.bin", "sub", "sub\\b.txt", "sub\\deep", "sub\\deep\\c.txt", "sub\\empty"});
}

}  // namespace
