// A thousand damaged copies of the real product archive: the reader must refuse them or unpack
// exactly what the archive holds, and never write outside its target folder.
#include <gtest/gtest.h>

#include <map>

#include "archive/Unzipper.h"
#include "tests/support/ArchiveMutation.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

std::map<std::wstring, std::string> UnpackReference(const std::wstring& archive, const std::wstring& folder)
{
    Unzipper unzipper(Narrow(archive).c_str());
    EXPECT_TRUE(unzipper.ExtractAll(Narrow(folder).c_str()));
    std::map<std::wstring, std::string> files;
    for (const std::wstring& entry : ListTree(folder)) {
        if (entry.back() != L'\\') files[entry] = ReadFileBytes(folder + L"\\" + entry);
    }
    return files;
}

TEST(ArchiveMutation, AThousandDamagedProductArchives)
{
    TempFolder work;
    const std::wstring product = BuildFile(L"sample/product.zip");
    const std::map<std::wstring, std::string> reference = UnpackReference(product, work / L"reference");
    ASSERT_GE(reference.size(), 6u);

    const std::wstring sandbox = work / L"sandbox";
    const std::wstring target = sandbox + L"\\target";
    MakeFolders(target);
    WriteFileBytes(sandbox + L"\\sentinel.txt", "untouched");
    const std::wstring archive = work / L"mutated.zip";
    MutationSource mutations(ReadFileBytes(product), 7);
    int refused = 0;
    for (int i = 0; i < 1000; ++i) {
        SCOPED_TRACE(i);
        WriteFileBytes(archive, mutations.Next());
        Unzipper unzipper;
        const bool unpacked = unzipper.OpenZip(Narrow(archive).c_str()) && unzipper.CheckAllEntries() &&
                              unzipper.ExtractAll(Narrow(target).c_str());
        refused += unpacked ? 0 : 1;
        ASSERT_EQ(ListTree(sandbox).size(), ListTree(target).size() + 2) << "only target\\ and the sentinel outside";
        ASSERT_EQ(ReadFileBytes(sandbox + L"\\sentinel.txt"), "untouched");
        for (const std::wstring& entry : ListTree(target)) {
            const auto file = reference.find(entry);
            if (file != reference.end()) {
                ASSERT_EQ(ReadFileBytes(target + L"\\" + entry), file->second) << Narrow(entry);
            }
        }
        unzipper.CloseZip();
        RemoveTree(target);
        MakeFolders(target);
    }
    // Most damage is noticed; a flip in a name or in unused bytes may not be.
    EXPECT_GT(refused, 500);
}

}  // namespace
