// Writes ZIP archives (deflate) over minizip's writing functions. Part of the interface setup.exe
// exports: include archive/ZipExports.h, which says how the class is linked, not this header.
//
// Paths are narrow text in the ANSI code page and every one must fit a MAX_PATH buffer with its
// terminator, also after it is joined to the base folder; one that does not fit is refused with
// a false result, never truncated. Slashes are taken as backslashes, doubled backslashes count
// as one, and network paths (\\server\share) are refused.
//
// Entry names are relative to the base folder, use '\' as separator, never begin or end with
// blanks or '\', and are stored as the narrow bytes given (never marked as UTF-8). A folder's
// own entry carries FILE_ATTRIBUTE_DIRECTORY and no trailing separator. Every name is judged
// with the archive reader's own rules (IsSafeEntryName) before it is written, so that no entry
// can lead outside the folder it is later unpacked into.
#pragma once

#ifndef ZIPPER_API
#error "include archive/ZipExports.h"
#endif

#include <windows.h>

#include "framework/ScopedHandle.h"

// Counters of the archive opened last; they survive CloseZip until the next open.
struct Z_FileInfo {
    int nFileCount;       // file entries opened since the archive was opened
    int nFolderCount;     // AddFolderToZip calls (each sub-folder of a walk is one)
    DWORD dwTotalBytes;   // uncompressed bytes taken into file entries
};

class ZIPPER_API Zipper {
public:
    // With an archive path, opens it as OpenZip does.
    explicit Zipper(const char* archivePath = nullptr, const char* baseFolder = nullptr, bool append = false);
    // A copy is never open, so that no archive handle is ever closed twice: it takes the base
    // folder and the counters only. Assigning closes this object's own archive first.
    Zipper(const Zipper& other);
    Zipper& operator=(const Zipper& other);
    virtual ~Zipper();

    // Closes any open archive, resets the counters and opens archivePath: appended to when
    // append is set and the file exists, created (replacing any file of that name) otherwise.
    // Without a base folder the base folder is the archive's own folder; a given one is used as
    // it stands (not made absolute).
    bool OpenZip(const char* archivePath, const char* baseFolder = nullptr, bool append = false);
    // True when the archive was written out completely, or when nothing was open.
    bool CloseZip();

    // A file below the base folder (an absolute path, or one relative to the base folder), named
    // by its path relative to the base folder; with ignorePath named by its own name only.
    bool AddFileToZip(const char* sourceFile, bool ignorePath = false);
    // A file from anywhere, named folderInZip\<its own name>.
    bool AddFileToZip(const char* sourceFile, const char* folderInZip);
    // size bytes (0 allowed) as an entry named entryPath, dated with the current UTC time.
    bool AddFileToZip(const void* data, int size, const char* entryPath);
    // The folder's own entry (none for the base folder itself), then every file and sub-folder
    // whose name does not begin with a dot. False when no archive is open or the folder does not
    // exist, or, without ignorePath, lies outside the base folder; entries of the walk that
    // cannot be added are skipped and show only in the counters.
    bool AddFolderToZip(const char* folder, bool ignorePath = false);

    void GetFileInfo(Z_FileInfo& info) const;

    // report.txt into report.zip beside it.
    static bool zip_file(const char* sourceFile);
    // C:\work\proj's contents into C:\work\proj.zip.
    static bool zip_folder(const char* folder, bool ignorePath);

protected:
    // Removes trailing blanks and backslashes.
    static void UnterminatePath(char* path);
    // Turns a path into an entry name: no leading or trailing blanks and backslashes.
    static void PrepareZipPath(char* path);
    // Turns a path into the path that is read: one with a colon stays as it is, any other is
    // joined to the base folder. False (and the buffer emptied) when the result does not fit.
    bool PrepareSourcePath(char (&path)[MAX_PATH]) const;
    // The last-write time as local time; false (and a cleared time) when the path is not found.
    static bool GetLastModified(const char* path, SYSTEMTIME& time);

private:
    // minizip's zipFile; closed with zipClose and no global comment.
    struct ArchiveTraits {
        using Handle = void*;
        static Handle Invalid() { return nullptr; }
        static bool IsValid(Handle archive) { return archive != nullptr; }
        static void Close(Handle archive);
    };

    framework::ScopedHandle<ArchiveTraits> m_hZip;
    char m_szBaseFolder[MAX_PATH + 1];
    Z_FileInfo m_info;
};
