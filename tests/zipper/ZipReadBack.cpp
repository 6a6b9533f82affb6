#include "tests/zipper/ZipReadBack.h"

#include <gtest/gtest.h>

#include "archive/Unzipper.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace zipper_tests {

std::vector<StoredEntry> ReadEntries(const std::wstring& archive)
{
    std::vector<StoredEntry> entries;
    Unzipper reader(Narrow(archive).c_str());
    for (bool more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) {
        UZ_FileInfo info{};
        if (!reader.GetFileInfo(info)) break;
        entries.push_back(StoredEntry{info.szFileName, info.dwExternalAttrib, info.dwUncompressedSize, info.dwDosDate, info.bFolder});
    }
    return entries;
}

std::vector<std::string> EntryNames(const std::wstring& archive)
{
    std::vector<std::string> names;
    for (const StoredEntry& entry : ReadEntries(archive)) names.push_back(entry.name);
    return names;
}

StoredEntry EntryNamed(const std::wstring& archive, const std::string& name)
{
    for (const StoredEntry& entry : ReadEntries(archive)) {
        if (entry.name == name) return entry;
    }
    ADD_FAILURE() << "no entry named " << name;
    return StoredEntry{};
}

bool ReaderAccepts(const std::wstring& archive)
{
    Unzipper reader(Narrow(archive).c_str());
    return reader.CheckAllEntries();
}

EntryRefusal ReaderRefusal(const std::wstring& archive)
{
    Unzipper reader;
    if (reader.OpenZip(archive.c_str()) && reader.CheckAllEntries()) return EntryRefusal::None;
    return reader.Refusal() == EntryRefusal::None ? EntryRefusal::Damaged : reader.Refusal();
}

std::map<std::string, std::string> Unpacked(const std::wstring& archive)
{
    TempFolder target;
    Unzipper reader(Narrow(archive).c_str());
    EXPECT_TRUE(reader.ExtractAll(target.narrow().c_str())) << Narrow(archive);
    std::map<std::string, std::string> files;
    for (const std::wstring& relative : ListTree(target.path())) {
        const bool folder = !relative.empty() && relative.back() == L'\\';
        files[Narrow(relative)] = folder ? std::string() : ReadFileBytes(target / relative);
    }
    return files;
}

DWORD DosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const DWORD date = static_cast<DWORD>(((year - 1980) << 9) | (month << 5) | day);
    const DWORD time = static_cast<DWORD>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | time;
}

void SetLocalWriteTime(const std::wstring& path, int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    FILETIME localTime, utc;
    ASSERT_TRUE(::SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &utc));
    ::CloseHandle(file);
}

}  // namespace zipper_tests
