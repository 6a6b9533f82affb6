// The wide forms of the exported functions, under code page 936: Chinese names pass through the
// ANSI code page; names it cannot hold are refused before anything is written.
#include "tests/zipper/ZipperFixture.h"

#include <algorithm>

using namespace testing_support;
using namespace zipper_tests;

namespace {

class WideZipFunctionsTest : public ZipperTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetACP(), 936u);
        File(L"资料\\报告.txt", "报告内容");
        File(L"资料\\图片\\图.txt", "图");
    }
};

TEST_F(WideZipFunctionsTest, ChineseNamesArriveInTheAnsiCodePage)
{
    EXPECT_TRUE(zip_folder(Path(L"资料").c_str(), false));
    EXPECT_EQ(Sorted(EntryNames(Path(L"资料.zip"))), Sorted({Narrow(L"报告.txt"), Narrow(L"图片"), Narrow(L"图片\\图.txt")}));
    EXPECT_TRUE(ReaderAccepts(Path(L"资料.zip")));
    EXPECT_EQ(Unpacked(Path(L"资料.zip")).at(Narrow(L"图片\\图.txt")), "图");

    EXPECT_TRUE(zip_file(Path(L"资料\\报告.txt").c_str()));
    EXPECT_EQ(EntryNames(Path(L"资料\\报告.zip")), Names({Narrow(L"报告.txt")}));
    EXPECT_EQ(Unpacked(Path(L"资料\\报告.zip")).at(Narrow(L"报告.txt")), "报告内容");

    EXPECT_TRUE(zip_add_folder(Path(L"归档.zip").c_str(), Path(L"资料\\图片").c_str(), true));
    EXPECT_EQ(Sorted(EntryNames(Path(L"归档.zip"))), Sorted({Narrow(L"图片"), Narrow(L"图.txt")}));
    EXPECT_TRUE(zip_add_file(Path(L"归档.zip").c_str(), Path(L"资料\\报告.txt").c_str()));
    EXPECT_EQ(EntryNames(Path(L"归档.zip")), Names({Narrow(L"资料\\报告.txt")}));
}

TEST_F(WideZipFunctionsTest, DestinationsMayHoldChineseNames)
{
    DriveDFolder drive;
    EXPECT_TRUE(zip_file(Path(L"资料\\报告.txt").c_str(), (drive / L"输出\\最终.dat").c_str()));
    EXPECT_EQ(EntryNames(drive / L"输出\\最终.zip"), Names({Narrow(L"报告.txt")}));
    EXPECT_TRUE(zip_folder(Path(L"资料").c_str(), true, (drive / L"输出\\平.zip").c_str()));
    EXPECT_EQ(Sorted(EntryNames(drive / L"输出\\平.zip")), Sorted({Narrow(L"报告.txt"), Narrow(L"图片"), Narrow(L"图.txt")}));
    EXPECT_FALSE(FileExists(Path(L"资料.zip")));
}

// ก (Thai) is not in code page 936: converted, it would be '?', and name another file or none.
TEST_F(WideZipFunctionsTest, NamesOutsideTheCodePageAreRefusedBeforeAnythingIsWritten)
{
    File(L"กข.txt", "thai");
    const std::vector<std::wstring> before = ListTree(m_root.path());
    EXPECT_FALSE(zip_file(Path(L"กข.txt").c_str()));
    EXPECT_FALSE(zip_file(Path(L"资料\\报告.txt").c_str(), Path(L"out\\ก.dat").c_str()));
    EXPECT_FALSE(zip_folder(Path(L"资料").c_str(), false, Path(L"ก\\a.zip").c_str()));
    EXPECT_FALSE(zip_add_file(Path(L"ก.zip").c_str(), Path(L"资料\\报告.txt").c_str()));
    EXPECT_FALSE(zip_add_folder(Path(L"a.zip").c_str(), Path(L"ก").c_str(), true));
    EXPECT_EQ(ListTree(m_root.path()), before);
}

TEST_F(WideZipFunctionsTest, NullPathsConvertToNullPaths)
{
    EXPECT_TRUE(zip_file(Path(L"资料\\报告.txt").c_str(), static_cast<const wchar_t*>(nullptr)));
    EXPECT_TRUE(FileExists(Path(L"资料\\报告.zip")));
    EXPECT_FALSE(zip_file(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(zip_folder(static_cast<const wchar_t*>(nullptr), false));
    EXPECT_FALSE(zip_add_file(static_cast<const wchar_t*>(nullptr), Path(L"资料\\报告.txt").c_str()));
    EXPECT_FALSE(zip_add_folder(static_cast<const wchar_t*>(nullptr), Path(L"资料").c_str(), false));
}

}  // namespace
