// Unpacks a ZIP archive into a folder with its folder structure, each file's modification time
// and its stored attributes; a thin class over minizip's reading functions. The archive's own
// path is narrow text in the ANSI code page, as minizip takes it; target folders may be given
// narrow or wide.
//
// Entry names are decoded to UTF-16 as the tool that made the archive stored them (see
// StoredName.h), judged in that form, and files and folders are created with the wide file
// functions, so a name holding characters the ANSI code page lacks is unpacked as it stands.
//
// Entry names are untrusted: ExtractCurrentFile and ExtractAll refuse every name that could
// reach outside the target folder (see IsSafeEntryName) and every entry the reader cannot unpack
// (a method other than stored or deflated, or any kind of encryption). CheckAllEntries lets a
// caller judge the whole archive by the same rules before it changes anything on disk, and also
// refuses entries that Windows would unpack to one path (NameCollision.h) and entries whose
// local header contradicts their directory record.
#pragma once

#include <windows.h>

#include <unzip.h>

#include <string>
#include <vector>

#include "archive/NameCollision.h"
#include "archive/StoredName.h"

// Why an entry was refused.
enum class EntryRefusal {
    None,
    Damaged,      // its record or data cannot be read
    Method,       // a compression method other than stored or deflated
    Encrypted,    // any kind of encryption
    Name,         // the name leads outside the target folder, names a device or is not valid
    Length,       // the path it gets does not fit
    Collision,    // it names the same path on Windows as another entry
    LocalHeader,  // its local header cannot be read or contradicts its directory record (method or sizes)
};

struct UZ_FileInfo {
    // The decoded name in the ANSI code page, '/' replaced by '\'. A character the code page
    // lacks becomes '?'; a name that does not fit is cut after its last whole character.
    char szFileName[MAX_PATH + 1];
    char szComment[256];
    DWORD dwVersion;
    DWORD dwVersionNeeded;
    DWORD dwFlags;
    DWORD dwCompressionMethod;
    DWORD dwDosDate;  // date in the high 16 bits, time in the low 16 bits
    DWORD dwCRC;
    DWORD dwCompressedSize;
    DWORD dwUncompressedSize;
    DWORD dwInternalAttrib;
    DWORD dwExternalAttrib;  // applied to the unpacked file as it stands
    // FILE_ATTRIBUTE_DIRECTORY in dwExternalAttrib, or a name ending in a separator: many
    // writers (.NET, PowerShell, Java) mark folders only so.
    bool bFolder;
};

class Unzipper {
public:
    explicit Unzipper(const char* archivePath = nullptr);
    virtual ~Unzipper();
    Unzipper(const Unzipper&) = delete;
    Unzipper& operator=(const Unzipper&) = delete;

    bool OpenZip(const char* archivePath);
    bool OpenZip(const wchar_t* archivePath);
    bool CloseZip();
    unsigned GetFileCount();

    // With a null or empty ext every entry qualifies; otherwise only entries whose extension
    // matches it, with or without its dot, ignoring ASCII case.
    bool GotoFirstFile(const char* ext = nullptr);
    bool GotoNextFile(const char* ext = nullptr);
    bool GetFileInfo(UZ_FileInfo& info);

    // A null folder means the archive's own path without its extension. Entries are judged as
    // in CheckAllEntries; the first one refused or not written ends ExtractAll with false.
    bool ExtractCurrentFile(const char* folder = nullptr, bool ignorePaths = false);
    bool ExtractAll(const char* folder = nullptr, bool ignorePaths = false);
    bool ExtractAll(const wchar_t* folder, bool ignorePaths = false);

    // Reads the whole directory without writing anything: true when the archive holds at least
    // one entry, every entry's information and local header read, every entry can be unpacked
    // and every name is safe and fits. With a folder, what must fit is the path each entry gets
    // below it, as Windows counts it: a file's path below MAX_PATH characters, a folder's path
    // (a file's own folder too) below 248, the most CreateDirectory takes. Without one, the name
    // alone must be below MAX_PATH characters.
    bool CheckAllEntries(const wchar_t* folder = nullptr);

    // The entry the last check or unpacking refused and why; None after a success, and for an
    // entry that was accepted but could not be written.
    EntryRefusal Refusal() const { return m_refusal; }
    const std::wstring& RefusedEntry() const { return m_strRefusedEntry; }
    // For a collision, the other entry of the two.
    const std::wstring& CollidingEntry() const { return m_strCollidingEntry; }

    // The current entry's decoded name, '\' as separator.
    bool GetCurrentEntryName(std::wstring& name);

private:
    // The current entry as the directory describes it, its name decoded, '/' replaced by '\'.
    struct Entry {
        unz_file_info info{};
        std::wstring name;
        bool folder = false;
    };
    bool ReadCurrentEntry(Entry& entry, char* comment = nullptr, uLong commentSize = 0);
    bool ReadStoredName(unz_file_info& info, StoredName& stored, char* comment, uLong commentSize);
    // Whether the archive's legacy names made on Unix are UTF-8 (StoredName.h).
    bool LegacyNamesAreUtf8();
    // Why the entry, unpacked as name below folder, is refused (without a folder only name
    // itself is measured); None when it is not.
    static EntryRefusal JudgeEntry(const Entry& entry, const wchar_t* folder, const std::wstring& name);
    bool Refuse(EntryRefusal refusal, const std::wstring& name);
    bool MoveToMatch(int moveResult, const char* ext);
    // The current entry below base, which exists.
    bool ExtractEntryBelow(const std::wstring& base, bool ignorePaths);
    bool EnsureFolderExists(const std::wstring& folder);
    bool ExtractFileEntry(const std::wstring& target, const unz_file_info& info);
    // Copies the current entry's data in 2048-byte blocks; 0 at its end, negative on an error.
    int CopyCurrentEntryTo(HANDLE file, DWORD& total);

    unzFile m_uzFile = nullptr;
    std::wstring m_strOutputFolder;
    bool m_bLegacyUtf8 = false;
    EntryRefusal m_refusal = EntryRefusal::None;
    std::wstring m_strRefusedEntry;
    std::wstring m_strCollidingEntry;
    // The folder the last entry went to, known to exist.
    std::wstring m_strExistingFolder;
};

// Gives an unpacked file, through its open handle, the entry's DOS date and time (local time)
// as creation and last-write time, and the entry's attributes; the last-access time stays.
bool ApplyEntryTimesAndAttributes(HANDLE file, DWORD dosDate, DWORD attributes);
