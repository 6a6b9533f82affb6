// A module that is no part of setup.exe creates an archive through setup.exe's exports, inside
// a real silent installation: the test product's recording library (TestRecorder.cpp, linked only
// against setup.exe's import library) zips the product's samples folder from RecordInstallAct.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/support/TestSupport.h"
#include "tests/zipper/UnzipCheckOutput.h"
#include "tests/zipper/ZipReadBack.h"

using namespace testing_support;
using namespace zipper_tests;

namespace {

const char* const kClientVersion = "7.1.0";

// Several hundred files in nested folders, of many sizes (empty, below, at and above the
// 2048-byte block), text and binary, and a folder without files. Names relative to samples\.
struct SampleTree {
    std::map<std::string, std::string> files;
    std::vector<std::string> folders;
};

std::string Content(unsigned seed, size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = (seed & 1) ? static_cast<char>(state >> 24) : static_cast<char>('a' + (state >> 24) % 26);
    }
    return bytes;
}

SampleTree MakeSampleTree()
{
    SampleTree tree;
    tree.files["readme.txt"] = "Samples of the test product.\r\n";
    tree.folders.push_back("empty-folder");
    unsigned seed = 0;
    for (int set = 0; set < 8; ++set) {
        const std::string folder = "set-" + std::to_string(set);
        tree.folders.insert(tree.folders.end(), {folder, folder + "\\nested", folder + "\\nested\\deeper"});
        for (int file = 0; file < 30; ++file) {
            const size_t size = file == 0 ? 0 : file == 1 ? 2048 : (seed * 977u + 131u) % 9000u;
            tree.files[folder + "\\file-" + std::to_string(file) + ".txt"] = Content(++seed, size);
        }
        for (int file = 0; file < 10; ++file) {
            ++seed;
            tree.files[folder + "\\nested\\deep-" + std::to_string(file) + ".bin"] = Content(seed, seed * 131u % 20000u);
        }
        tree.files[folder + "\\nested\\deeper\\leaf.txt"] = Content(++seed, 700);
    }
    return tree;
}

std::string LocalConfig()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LocalConfig>\n  <version>\n") +
           "    <client appId=\"zipper-test\">\n      <libID>ZIP-TEST-1</libID>\n      <current>" + kClientVersion +
           "</current>\n    </client>\n  </version>\n</LocalConfig>\n";
}

std::string ProductArchive(const SampleTree& tree)
{
    const std::string recorder = ReadFileBytes(BuildFile(L"tests/zipper/Brenvik.dll"));
    EXPECT_FALSE(recorder.empty());
    ZipBuilder product;
    product.File("LocalConfig.xml", LocalConfig());
    product.File(std::string("client\\") + kClientVersion + "\\Lib\\Brenvik.dll", recorder);
    for (const std::string& folder : tree.folders) product.Folder("samples\\" + folder);
    for (const auto& file : tree.files) product.File("samples\\" + file.first, file.second);
    return product.Build();
}

TEST(InstallRecording, TheRecordingLibraryZipsAFolderThroughSetupsExports)
{
    const SampleTree tree = MakeSampleTree();
    ASSERT_GE(tree.files.size(), 300u);
    TempFolder work;
    // The copy keeps the name setup.exe: the library's imports name setup.exe, and only a
    // running program of that module name satisfies them.
    const std::wstring setup = work / L"bin\\setup.exe";
    MakeFolders(work / L"bin");
    const std::string payload = ProductArchive(tree);
    CopySetupWithResource(setup, L"INSTALLDATA", 199, &payload);

    ASSERT_EQ(RunAndWait(setup, L"-silent"), 0u);

    const std::wstring records = InstallFolder() + L"records\\";
    EXPECT_EQ(ReadFileBytes(records + L"zip-result.txt"), std::string("client=") + kClientVersion + " zip_folder=1");
    const std::wstring archive = records + L"install-samples.zip";
    ASSERT_TRUE(FileExists(archive));
    EXPECT_TRUE(ReaderAccepts(archive));

    std::vector<std::string> expected = tree.folders;
    for (const auto& file : tree.files) expected.push_back(file.first);
    std::vector<std::string> names = EntryNames(archive);
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    const auto unpacked = Unpacked(archive);
    for (const auto& file : tree.files) {
        const auto found = unpacked.find(file.first);
        ASSERT_NE(found, unpacked.end()) << file.first;
        EXPECT_EQ(found->second, file.second) << file.first;
    }
    for (const std::string& folder : tree.folders) EXPECT_EQ(unpacked.count(folder + "\\"), 1u) << folder;

    LeaveForUnzip(archive, L"install-samples", expected);
}

}  // namespace
