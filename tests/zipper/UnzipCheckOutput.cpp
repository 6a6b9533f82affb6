#include "tests/zipper/UnzipCheckOutput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace zipper_tests {

std::wstring UnzipCheckFolder()
{
    const std::wstring folder = BuildFile(L"tests/zipper/unzip-check");
    MakeFolders(folder);
    return folder;
}

void LeaveForUnzip(const std::wstring& archive, const std::wstring& name, std::vector<std::string> expectedNames)
{
    const std::wstring folder = UnzipCheckFolder();
    ASSERT_TRUE(::CopyFileW(archive.c_str(), (folder + L"\\" + name + L".zip").c_str(), FALSE));
    std::sort(expectedNames.begin(), expectedNames.end());
    std::string lines;
    for (const std::string& entry : expectedNames) lines += entry + "\n";
    WriteFileBytes(folder + L"\\" + name + L".expected", lines);
}

}  // namespace zipper_tests
