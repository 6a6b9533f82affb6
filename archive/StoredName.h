// How the bytes an archive stores for an entry name become UTF-16. A ZIP entry does not always
// say which encoding its name is in, so the tools that write archives are followed:
//   - general-purpose bit 11 set: the name is UTF-8 (Python's zipfile, 7-Zip, .NET, Java);
//   - otherwise an Info-ZIP Unicode Path extra field (0x7075) written for exactly these bytes
//     (its CRC matches them) carries the name in UTF-8 (Info-ZIP and WinZip on Windows);
//   - otherwise a name from an archive made on Unix (host 3 in the version made by) that is
//     valid UTF-8 is UTF-8 (Info-ZIP's zip on Linux stores the file system's bytes unflagged);
//   - otherwise the name is in the ANSI code page, as archives made on Chinese Windows store it.
#pragma once

#include <windows.h>

#include <string>

// What an entry's directory record holds that bears on its name.
struct StoredName {
    std::string bytes;        // the name as stored, without a terminator
    std::string extraField;   // the directory record's extra field
    DWORD flags = 0;          // general-purpose bit flag
    DWORD versionMadeBy = 0;  // the high byte names the system the entry was made on
};

// The name as UTF-16, exactly as stored (separators untouched). Empty when the bytes cannot be
// what the entry says they are: a name flagged UTF-8 that is not valid UTF-8.
std::wstring DecodeStoredName(const StoredName& name);
