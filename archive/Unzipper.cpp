#include "archive/Unzipper.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/BoundedPath.h"
#include "archive/EntryName.h"
#include "archive/FileUtils.h"
#include "framework/ScopedHandle.h"

namespace {

constexpr int kCopyBlock = 2048;
constexpr int kWriteFailed = -1;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The extension of a name, dot included ("" when it has none), as _splitpath gives it.
std::string ExtensionOf(const char* name)
{
    char ext[_MAX_EXT] = {};
    _splitpath(name, nullptr, nullptr, nullptr, ext);
    return ext;
}

bool ExtensionMatches(const char* name, const char* ext)
{
    const std::string found = ExtensionOf(name);
    return _stricmp(found.c_str(), ext) == 0 || (!found.empty() && _stricmp(found.c_str() + 1, ext) == 0);
}

// The file name and extension of an entry, without its folders.
std::string LeafOf(const char* name)
{
    char file[_MAX_FNAME] = {};
    char ext[_MAX_EXT] = {};
    _splitpath(name, nullptr, nullptr, file, ext);
    return std::string(file) + ext;
}

// An existing read-only file of the same name is replaced like any other.
HANDLE CreateTargetFile(const char* target)
{
    HANDLE file = ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED) return file;
    const DWORD attributes = ::GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return file;
    ::SetFileAttributesA(target, attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool CreateFolder(const char* path)
{
    return ensure_folder(path) == FILEUTIL_OK;
}

bool DosTimeToUtc(DWORD dosDate, FILETIME& utc)
{
    FILETIME local;
    return ::DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local) && ::LocalFileTimeToFileTime(&local, &utc);
}

bool ApplyEntryTimesAndAttributes(HANDLE file, DWORD dosDate, DWORD attributes)
{
    // Through the handle the file was written with: reopening each file by name to set its
    // times and then its attributes costs more than the unpacking itself under some systems.
    FILE_BASIC_INFO basic{};
    FILETIME utc;
    if (DosTimeToUtc(dosDate, utc)) {
        basic.CreationTime.LowPart = utc.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(utc.dwHighDateTime);
        basic.LastWriteTime = basic.CreationTime;
    }
    // Only the attributes a file can be given; an archive made on Unix keeps its permission bits
    // in the upper half, which no Windows file takes. 0 leaves the attributes as they are.
    basic.FileAttributes = attributes & kSettableAttributes;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic)) != FALSE;
}

Unzipper::Unzipper(const char* archivePath)
{
    OpenZip(archivePath);
}

Unzipper::~Unzipper()
{
    CloseZip();
}

bool Unzipper::OpenZip(const char* archivePath)
{
    CloseZip();
    if (!archivePath || !*archivePath) return false;
    char fullPath[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(archivePath, MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    m_uzFile = unzOpen(fullPath);
    if (m_uzFile) {
        char drive[_MAX_DRIVE], folder[_MAX_DIR], name[_MAX_FNAME];
        _splitpath(fullPath, drive, folder, name, nullptr);
        const std::string output = std::string(drive) + folder + name;
        CopyBounded(m_szOutputFolder, output);
    }
    return m_uzFile != nullptr;
}

bool Unzipper::CloseZip()
{
    int result = UNZ_PARAMERROR;
    if (m_uzFile) {
        unzCloseCurrentFile(m_uzFile);
        result = unzClose(m_uzFile);
    }
    m_uzFile = nullptr;
    m_szOutputFolder[0] = '\0';
    return result == UNZ_OK;
}

unsigned Unzipper::GetFileCount()
{
    if (!m_uzFile) return 0;
    unz_global_info info{};
    if (unzGetGlobalInfo(m_uzFile, &info) != UNZ_OK) return 0;
    return static_cast<unsigned>(info.number_entry);
}

bool Unzipper::GetFileInfo(UZ_FileInfo& info)
{
    if (!m_uzFile) return false;
    std::memset(&info, 0, sizeof(info));
    unz_file_info fileInfo{};
    if (unzGetCurrentFileInfo(m_uzFile, &fileInfo, info.szFileName, MAX_PATH, nullptr, 0, info.szComment, 255) != UNZ_OK) {
        return false;
    }
    info.dwVersion = fileInfo.version;
    info.dwVersionNeeded = fileInfo.version_needed;
    info.dwFlags = fileInfo.flag;
    info.dwCompressionMethod = fileInfo.compression_method;
    info.dwDosDate = fileInfo.dosDate;
    info.dwCRC = fileInfo.crc;
    info.dwCompressedSize = fileInfo.compressed_size;
    info.dwUncompressedSize = fileInfo.uncompressed_size;
    info.dwInternalAttrib = fileInfo.internal_fa;
    info.dwExternalAttrib = fileInfo.external_fa;
    for (char* c = info.szFileName; *c; ++c) {
        if (*c == '/') *c = '\\';
    }
    info.bFolder = (info.dwExternalAttrib & FILE_ATTRIBUTE_DIRECTORY) == FILE_ATTRIBUTE_DIRECTORY;
    return true;
}

bool Unzipper::MoveToMatch(int moveResult, const char* ext)
{
    for (int result = moveResult; result == UNZ_OK; result = unzGoToNextFile(m_uzFile)) {
        UZ_FileInfo info;
        if (!GetFileInfo(info)) return false;
        if (ExtensionMatches(info.szFileName, ext)) return true;
    }
    return false;
}

bool Unzipper::GotoFirstFile(const char* ext)
{
    if (!m_uzFile) return false;
    if (!ext || !*ext) return unzGoToFirstFile(m_uzFile) == UNZ_OK;
    return MoveToMatch(unzGoToFirstFile(m_uzFile), ext);
}

bool Unzipper::GotoNextFile(const char* ext)
{
    if (!m_uzFile) return false;
    if (!ext || !*ext) return unzGoToNextFile(m_uzFile) == UNZ_OK;
    return MoveToMatch(unzGoToNextFile(m_uzFile), ext);
}

bool Unzipper::CheckAllEntries()
{
    const unsigned count = GetFileCount();
    if (count == 0 || unzGoToFirstFile(m_uzFile) != UNZ_OK) return false;
    unsigned seen = 0;
    int moved = UNZ_OK;
    for (; moved == UNZ_OK; moved = unzGoToNextFile(m_uzFile)) {
        unz_file_info fileInfo{};
        char name[MAX_PATH + 1] = {};
        if (unzGetCurrentFileInfo(m_uzFile, &fileInfo, name, MAX_PATH, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
        if (fileInfo.size_filename >= MAX_PATH || !IsSafeEntryName(name)) return false;
        // Opening the entry checks its local header against the directory.
        if (unzOpenCurrentFile(m_uzFile) != UNZ_OK) return false;
        unzCloseCurrentFile(m_uzFile);
        ++seen;
    }
    return moved == UNZ_END_OF_LIST_OF_FILE && seen == count && unzGoToFirstFile(m_uzFile) == UNZ_OK;
}

bool Unzipper::ExtractCurrentFile(const char* folder, bool ignorePaths)
{
    if (!m_uzFile) return false;
    const std::string base = folder ? folder : m_szOutputFolder;
    if (!CreateFolder(base.c_str())) return false;
    m_strExistingFolder.clear();
    return ExtractEntryBelow(base, ignorePaths);
}

bool Unzipper::ExtractEntryBelow(const std::string& base, bool ignorePaths)
{
    UZ_FileInfo info;
    if (!GetFileInfo(info) || !IsSafeEntryName(info.szFileName)) return false;

    const std::string name = ignorePaths && !info.bFolder ? LeafOf(info.szFileName) : std::string(info.szFileName);
    char target[MAX_PATH];
    if (!JoinBounded(target, base, name)) return false;
    if (info.bFolder) return EnsureFolderExists(target);
    return ExtractFileEntry(target, info);
}

bool Unzipper::EnsureFolderExists(const std::string& folder)
{
    std::string path = folder;
    while (EndsWithSeparator(path)) path.pop_back();
    // Entries of one folder usually follow each other: the folder is checked once for them all.
    if (path == m_strExistingFolder) return true;
    if (!CreateFolder(path.c_str())) return false;
    m_strExistingFolder = path;
    return true;
}

bool Unzipper::ExtractFileEntry(const char* target, const UZ_FileInfo& info)
{
    const std::string path = target;
    const size_t separator = LastSeparator(path);
    if (separator == std::string::npos || !EnsureFolderExists(path.substr(0, separator))) return false;
    framework::KernelHandle file(CreateTargetFile(target));
    if (!file) return false;
    int result = unzOpenCurrentFile(m_uzFile);
    if (result == UNZ_OK) {
        DWORD written = 0;
        result = CopyCurrentEntryTo(file.get(), written);
        // Damage to a size field shows as an entry that ends early or late: not the file it names.
        if (result == 0 && written != info.dwUncompressedSize) result = UNZ_BADZIPFILE;
        // A damaged entry (its data no longer matches its checksum) counts as not unpacked.
        if (unzCloseCurrentFile(m_uzFile) == UNZ_CRCERROR && result == 0) result = UNZ_CRCERROR;
    }
    if (result == 0) ApplyEntryTimesAndAttributes(file.get(), info.dwDosDate, info.dwExternalAttrib);
    file.reset();
    // Nothing half-written stays behind looking like a file of the product.
    if (result != 0) ::DeleteFileA(target);
    return result == 0;
}

int Unzipper::CopyCurrentEntryTo(HANDLE file, DWORD& total)
{
    char buffer[kCopyBlock];
    int read = 0;
    total = 0;
    do {
        read = unzReadCurrentFile(m_uzFile, buffer, kCopyBlock);
        if (read > 0) {
            DWORD written = 0;
            if (!::WriteFile(file, buffer, static_cast<DWORD>(read), &written, nullptr) || written != static_cast<DWORD>(read)) {
                read = kWriteFailed;
            }
            total += written;
        }
    } while (read > 0);
    return read;
}

bool Unzipper::ExtractAll(const char* folder, bool ignorePaths)
{
    if (!m_uzFile || GetFileCount() == 0 || !GotoFirstFile()) return false;
    const std::string base = folder ? folder : m_szOutputFolder;
    if (!CreateFolder(base.c_str())) return false;
    m_strExistingFolder.clear();
    int moved = UNZ_OK;
    for (; moved == UNZ_OK; moved = unzGoToNextFile(m_uzFile)) {
        if (!ExtractEntryBelow(base, ignorePaths)) return false;
    }
    // Only the end of the entries is a success; a directory that breaks off is not.
    return moved == UNZ_END_OF_LIST_OF_FILE;
}
