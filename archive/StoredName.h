// How the bytes an archive stores for an entry name become UTF-16. A ZIP entry does not always
// say which encoding its name is in, so the tools that write archives are followed:
//   - general-purpose bit 11 set: the name is UTF-8 (Python's zipfile, 7-Zip, .NET, Java);
//   - otherwise an Info-ZIP Unicode Path extra field (0x7075) written for exactly these bytes
//     (its CRC matches them) carries the name in UTF-8 (Info-ZIP and WinZip on Windows);
//   - otherwise (a legacy name) a name made on Unix (host 3 in the version made by) is UTF-8
//     when every legacy name of the archive that is not plain ASCII is valid UTF-8 (Info-ZIP's
//     zip on Linux stores the file system's bytes unflagged). The decision is the archive's, not
//     the entry's: a GBK archive re-packed on Linux has names such as 图 (CD BC) that happen to be
//     valid UTF-8 too, and decoding those alone as UTF-8 would split one folder in two;
//   - otherwise the name is in the legacy code page fixed when setup.exe is built
//     (SETUP_LEGACY_CODE_PAGE, 936 by default, as archives made on Chinese Windows store their
//     names), never the installing machine's: the same archive gives the same names everywhere.
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

// Whether name is a legacy name whose bytes are neither plain ASCII nor valid UTF-8: one such
// name makes every legacy name of its archive a name in the legacy code page.
bool IsLegacyNonUtf8(const StoredName& name);

// The name as UTF-16, exactly as stored (separators untouched); legacyUtf8 when no legacy name
// of the archive is IsLegacyNonUtf8. Empty when the bytes cannot be what the entry says they
// are: a name flagged UTF-8 that is not valid UTF-8.
std::wstring DecodeStoredName(const StoredName& name, bool legacyUtf8);
