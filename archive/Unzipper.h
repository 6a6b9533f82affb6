// Unpacks a ZIP archive into a folder with its folder structure, each file's modification time
// and its stored attributes; a thin class over minizip's reading functions. Paths are narrow
// text in the ANSI code page, as minizip takes them.
//
// Entry names are untrusted: ExtractCurrentFile and ExtractAll refuse every name that could
// reach outside the target folder (see IsSafeEntryName), and CheckAllEntries lets a caller judge
// the whole archive before it changes anything on disk.
#pragma once

#include <windows.h>

#include <unzip.h>

#include <string>

struct UZ_FileInfo {
    char szFileName[MAX_PATH + 1];  // '/' replaced by '\'
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
    bool bFolder;            // FILE_ATTRIBUTE_DIRECTORY in dwExternalAttrib
};

class Unzipper {
public:
    explicit Unzipper(const char* archivePath = nullptr);
    virtual ~Unzipper();
    Unzipper(const Unzipper&) = delete;
    Unzipper& operator=(const Unzipper&) = delete;

    bool OpenZip(const char* archivePath);
    bool CloseZip();
    unsigned GetFileCount();

    // With a null or empty ext every entry qualifies; otherwise only entries whose extension
    // matches it, with or without its dot, ignoring ASCII case.
    bool GotoFirstFile(const char* ext = nullptr);
    bool GotoNextFile(const char* ext = nullptr);
    bool GetFileInfo(UZ_FileInfo& info);

    // A null folder means the archive's own path without its extension.
    bool ExtractCurrentFile(const char* folder = nullptr, bool ignorePaths = false);
    bool ExtractAll(const char* folder = nullptr, bool ignorePaths = false);

    // Reads the whole directory without writing anything: true when the archive holds at least
    // one entry, every entry's information and local header read, and every name is safe and fits.
    bool CheckAllEntries();

private:
    bool MoveToMatch(int moveResult, const char* ext);
    // The current entry below base, which exists.
    bool ExtractEntryBelow(const std::string& base, bool ignorePaths);
    bool EnsureFolderExists(const std::string& folder);
    bool ExtractFileEntry(const char* target, const UZ_FileInfo& info);
    // Copies the current entry's data in 2048-byte blocks; 0 at its end, negative on an error.
    int CopyCurrentEntryTo(HANDLE file, DWORD& total);

    unzFile m_uzFile = nullptr;
    char m_szOutputFolder[MAX_PATH + 1] = {};
    // The folder the last entry went to, known to exist.
    std::string m_strExistingFolder;
};

// Creates a folder and its missing parents (drive-letter or share paths); true when it exists after.
bool CreateFolder(const char* path);
// Gives an unpacked file, through its open handle, the entry's DOS date and time (local time)
// as creation and last-write time, and the entry's attributes; the last-access time stays.
bool ApplyEntryTimesAndAttributes(HANDLE file, DWORD dosDate, DWORD attributes);
