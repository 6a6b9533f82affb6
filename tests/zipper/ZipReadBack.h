// Reading the archives the Zipper writes back with the installer's own reader, Unzipper: their
// directory as stored, and their files as Unzipper unpacks them.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "archive/Unzipper.h"

namespace zipper_tests {

struct StoredEntry {
    std::string name;  // narrow, as stored
    DWORD attributes;
    DWORD size;
    DWORD dosDate;  // date in the high 16 bits, time in the low 16 bits
    bool folder;
};

// Every entry in archive order; empty when the archive does not open.
std::vector<StoredEntry> ReadEntries(const std::wstring& archive);
std::vector<std::string> EntryNames(const std::wstring& archive);
// The entry of that name; fails the test when there is none.
StoredEntry EntryNamed(const std::wstring& archive, const std::string& name);

// True when Unzipper accepts the whole directory (every name safe, every header readable, no two
// entries naming one file).
bool ReaderAccepts(const std::wstring& archive);
// Why Unzipper's check refuses the archive; None when it accepts it.
EntryRefusal ReaderRefusal(const std::wstring& archive);

// The files (by entry name, '\' separators) and folders ("name\") the archive unpacks to.
std::map<std::string, std::string> Unpacked(const std::wstring& archive);

// A DOS date and time as the archive stores it, from local calendar values.
DWORD DosDateTime(int year, int month, int day, int hour, int minute, int second);
// Sets a file's or folder's last-write time from local calendar values.
void SetLocalWriteTime(const std::wstring& path, int year, int month, int day, int hour, int minute, int second);

}  // namespace zipper_tests
