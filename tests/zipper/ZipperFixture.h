// A scratch folder for each Zipper test, with helpers for files in it and their narrow paths
// (the class takes paths in the ANSI code page).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/ZipExports.h"
#include "tests/support/TestSupport.h"
#include "tests/zipper/ZipReadBack.h"

namespace zipper_tests {

class ZipperTest : public ::testing::Test {
protected:
    std::wstring Path(const std::wstring& relative) const { return m_root / relative; }
    std::string NarrowPath(const std::wstring& relative) const { return testing_support::Narrow(Path(relative)); }
    // Writes a file below the scratch folder, making its folders.
    void File(const std::wstring& relative, const std::string& content) const
    {
        testing_support::WriteFileBytes(Path(relative), content);
    }
    void Folder(const std::wstring& relative) const { testing_support::MakeFolders(Path(relative)); }

    testing_support::TempFolder m_root;
};

// A fresh folder on the prefix's second drive, D:, removed at the end.
class DriveDFolder {
public:
    DriveDFolder() : m_path(L"D:\\zipper-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++s_count))
    {
        testing_support::RemoveTree(m_path);
    }
    ~DriveDFolder() { testing_support::RemoveTree(m_path); }
    DriveDFolder(const DriveDFolder&) = delete;
    DriveDFolder& operator=(const DriveDFolder&) = delete;

    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    static inline unsigned s_count = 0;
    std::wstring m_path;
};

// Exposes the protected path helpers and the base folder that PrepareSourcePath joins to.
class ZipperProbe : public Zipper {
public:
    using Zipper::Zipper;
    using Zipper::PrepareZipPath;
    using Zipper::UnterminatePath;

    // What PrepareSourcePath makes of a path; "(refused)" when it does not fit.
    std::string SourcePath(const std::string& path) const
    {
        char buffer[MAX_PATH] = {};
        if (path.size() >= MAX_PATH) return "(too long)";
        path.copy(buffer, path.size());
        return PrepareSourcePath(buffer) ? std::string(buffer) : std::string("(refused)");
    }
};

inline Z_FileInfo CountersOf(const Zipper& zipper)
{
    Z_FileInfo info{-1, -1, 0xFFFFFFFF};
    zipper.GetFileInfo(info);
    return info;
}

// Entry names, compared without regard to their order in the archive.
using Names = std::vector<std::string>;

inline Names Sorted(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace zipper_tests
