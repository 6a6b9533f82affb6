// Entries of one archive that Windows would unpack to the same path. Windows compares file names
// without letter case, and drops the dots and blanks that end a name: data\Report.txt and
// data\report.txt, or a. and a, are one file, and unpacking the second replaces the first. A file
// that has the name of a folder another entry needs cannot be unpacked either.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ArchivePath {
    std::wstring name;  // '\' as separator, already judged safe (IsSafeEntryName)
    bool folder = false;
};

// Finds two entries, at first < second, that name one path on Windows: two files, or a file and
// a folder (a folder entry, or the folder a deeper entry lies in). Two entries of one folder
// are no collision. False when every entry has a path of its own.
bool FindCollision(const std::vector<ArchivePath>& paths, size_t& first, size_t& second);
