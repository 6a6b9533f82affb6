#include "archive/Unzipper.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/AnsiPath.h"
#include "archive/ArchiveReadStream.h"
#include "archive/BoundedPath.h"
#include "archive/EntryName.h"
#include "archive/FileUtils.h"
#include "archive/StoredName.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"

namespace {

constexpr int kCopyBlock = 2048;
constexpr int kWriteFailed = -1;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// What keeps an existing file from being replaced by CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL.
constexpr DWORD kReplaceBlockingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Stored and deflated are the methods minizip unpacks as built here; it would hand out bzip2
// data as it stands.
constexpr uLong kStored = 0;
// Traditional encryption (bit 0), compressed patch data (bit 5), strong encryption (bit 6) and
// an encrypted central directory (bit 13): minizip, built without decryption, would read such an
// entry's data as if it were plain.
constexpr uLong kUnreadableFlags = 0x0001 | 0x0020 | 0x0040 | 0x2000;

// CreateDirectory refuses a path of 248 characters or more (room is kept for an 8.3 name).
constexpr size_t kMaxFolderPath = MAX_PATH - 12;

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

bool EndsWithSeparator(const std::wstring& path)
{
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (EndsWithSeparator(path)) path.pop_back();
    return path;
}

// Whether Windows can create the entry named name below folder: a file's path must be below
// MAX_PATH, and the folder made for it (for a folder entry, the entry itself) below
// kMaxFolderPath. Wine takes longer paths; Windows does not.
bool FitsBelow(const std::wstring& folder, const std::wstring& name, bool isFolder)
{
    const size_t separator = name.rfind(L'\\');
    const std::wstring nameFolder = isFolder ? name : separator == std::wstring::npos ? std::wstring() : name.substr(0, separator);
    if (!nameFolder.empty() && WithoutTrailingSeparators(JoinPath(folder, nameFolder)).size() >= kMaxFolderPath) return false;
    return isFolder || JoinPath(folder, name).size() < MAX_PATH;
}

// The file name of an entry, without its folders.
std::wstring LeafOf(const std::wstring& name)
{
    const size_t separator = name.rfind(L'\\');
    return separator == std::wstring::npos ? name : name.substr(separator + 1);
}

// The ANSI form of a decoded name for UZ_FileInfo, cut after its last whole character when it
// does not fit.
void CopyAnsiName(const std::wstring& name, char (&buffer)[MAX_PATH + 1])
{
    const std::string ansi = framework::WideToAnsi(name).str();
    size_t length = 0;
    while (length < ansi.size() && length + AnsiCharLength(ansi.c_str() + length) <= MAX_PATH) {
        length += AnsiCharLength(ansi.c_str() + length);
    }
    std::memcpy(buffer, ansi.data(), length);
    buffer[length] = '\0';
}

// An existing file of the same name is replaced like any other. CREATE_ALWAYS refuses a
// read-only one and, on Windows, a hidden or system one unless asked for those attributes too:
// its attributes are reset fully first.
HANDLE CreateTargetFile(const std::wstring& target)
{
    HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED) return file;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & kReplaceBlockingAttributes) || !::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL)) {
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool EnsureFolder(const std::wstring& path)
{
    return ensure_folder(path.c_str()) == FILEUTIL_OK;
}

}  // namespace

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
    return OpenZip(archivePath ? framework::AnsiToWide(archivePath).get() : nullptr);
}

bool Unzipper::OpenZip(const wchar_t* archivePath)
{
    CloseZip();
    if (!archivePath || !*archivePath) return false;
    wchar_t fullPath[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(archivePath, MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    zlib_filefunc64_def readFunctions;
    FillArchiveReadFunctions(readFunctions);
    m_uzFile = unzOpen2_64(fullPath, &readFunctions);
    if (!m_uzFile) return false;
    const std::wstring path = fullPath;
    const size_t dot = path.rfind(L'.');
    const size_t separator = path.rfind(L'\\');
    m_strOutputFolder = dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator) ? path.substr(0, dot) : path;
    m_bLegacyUtf8 = LegacyNamesAreUtf8();
    return true;
}

bool Unzipper::LegacyNamesAreUtf8()
{
    bool utf8 = true;
    for (int moved = unzGoToFirstFile(m_uzFile); utf8 && moved == UNZ_OK; moved = unzGoToNextFile(m_uzFile)) {
        unz_file_info info{};
        StoredName stored;
        if (!ReadStoredName(info, stored, nullptr, 0)) break;
        utf8 = !IsLegacyNonUtf8(stored);
    }
    unzGoToFirstFile(m_uzFile);
    return utf8;
}

bool Unzipper::CloseZip()
{
    int result = UNZ_PARAMERROR;
    if (m_uzFile) {
        unzCloseCurrentFile(m_uzFile);
        result = unzClose(m_uzFile);
    }
    m_uzFile = nullptr;
    m_strOutputFolder.clear();
    m_refusal = EntryRefusal::None;
    m_strRefusedEntry.clear();
    m_strCollidingEntry.clear();
    return result == UNZ_OK;
}

unsigned Unzipper::GetFileCount()
{
    if (!m_uzFile) return 0;
    unz_global_info info{};
    if (unzGetGlobalInfo(m_uzFile, &info) != UNZ_OK) return 0;
    return static_cast<unsigned>(info.number_entry);
}

bool Unzipper::ReadStoredName(unz_file_info& info, StoredName& stored, char* comment, uLong commentSize)
{
    // Read twice: first for the sizes of the name and the extra field, then for their bytes.
    if (unzGetCurrentFileInfo(m_uzFile, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    stored.bytes.resize(info.size_filename);
    stored.extraField.resize(info.size_file_extra);
    if (unzGetCurrentFileInfo(m_uzFile, &info, stored.bytes.data(), static_cast<uLong>(stored.bytes.size()),
                              stored.extraField.data(), static_cast<uLong>(stored.extraField.size()), comment,
                              commentSize) != UNZ_OK) {
        return false;
    }
    stored.flags = info.flag;
    stored.versionMadeBy = info.version;
    return true;
}

bool Unzipper::ReadCurrentEntry(Entry& entry, char* comment, uLong commentSize)
{
    StoredName stored;
    if (!ReadStoredName(entry.info, stored, comment, commentSize)) return false;
    entry.name = DecodeStoredName(stored, m_bLegacyUtf8);
    for (wchar_t& c : entry.name) {
        if (c == L'/') c = L'\\';
    }
    entry.folder = (entry.info.external_fa & FILE_ATTRIBUTE_DIRECTORY) || EndsWithSeparator(entry.name);
    return true;
}

bool Unzipper::GetCurrentEntryName(std::wstring& name)
{
    Entry entry;
    if (!m_uzFile || !ReadCurrentEntry(entry)) return false;
    name = entry.name;
    return true;
}

bool Unzipper::GetFileInfo(UZ_FileInfo& info)
{
    if (!m_uzFile) return false;
    std::memset(&info, 0, sizeof(info));
    Entry entry;
    if (!ReadCurrentEntry(entry, info.szComment, sizeof(info.szComment) - 1)) return false;
    const unz_file_info& stored = entry.info;
    info.dwVersion = stored.version;
    info.dwVersionNeeded = stored.version_needed;
    info.dwFlags = stored.flag;
    info.dwCompressionMethod = stored.compression_method;
    info.dwDosDate = stored.dosDate;
    info.dwCRC = stored.crc;
    info.dwCompressedSize = stored.compressed_size;
    info.dwUncompressedSize = stored.uncompressed_size;
    info.dwInternalAttrib = stored.internal_fa;
    info.dwExternalAttrib = stored.external_fa;
    CopyAnsiName(entry.name, info.szFileName);
    info.bFolder = entry.folder;
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

EntryRefusal Unzipper::JudgeEntry(const Entry& entry, const wchar_t* folder, const std::wstring& name)
{
    if (entry.info.flag & kUnreadableFlags) return EntryRefusal::Encrypted;
    if (entry.info.compression_method != kStored && entry.info.compression_method != Z_DEFLATED) return EntryRefusal::Method;
    if (!IsSafeEntryName(entry.name)) return EntryRefusal::Name;
    if (folder ? !FitsBelow(folder, name, entry.folder) : name.size() >= MAX_PATH) return EntryRefusal::Length;
    return EntryRefusal::None;
}

bool Unzipper::Refuse(EntryRefusal refusal, const std::wstring& name)
{
    m_refusal = refusal;
    m_strRefusedEntry = name;
    return false;
}

bool Unzipper::CheckAllEntries(const wchar_t* folder)
{
    m_refusal = EntryRefusal::None;
    m_strCollidingEntry.clear();
    const unsigned count = GetFileCount();
    if (count == 0 || unzGoToFirstFile(m_uzFile) != UNZ_OK) return false;
    std::vector<ArchivePath> paths;
    paths.reserve(count);
    int moved = UNZ_OK;
    for (; moved == UNZ_OK; moved = unzGoToNextFile(m_uzFile)) {
        Entry entry;
        if (!ReadCurrentEntry(entry)) return Refuse(EntryRefusal::Damaged, std::wstring());
        const EntryRefusal refusal = JudgeEntry(entry, folder, entry.name);
        if (refusal != EntryRefusal::None) return Refuse(refusal, entry.name);
        // Opening the entry compares its local header with the directory record: the method,
        // and the sizes and checksum unless a data descriptor follows the data.
        if (unzOpenCurrentFile(m_uzFile) != UNZ_OK) return Refuse(EntryRefusal::LocalHeader, entry.name);
        unzCloseCurrentFile(m_uzFile);
        paths.push_back({entry.name, entry.folder});
    }
    if (moved != UNZ_END_OF_LIST_OF_FILE || paths.size() != count) return Refuse(EntryRefusal::Damaged, std::wstring());
    size_t first = 0;
    size_t second = 0;
    if (FindCollision(paths, first, second)) {
        m_strCollidingEntry = paths[first].name;
        return Refuse(EntryRefusal::Collision, paths[second].name);
    }
    return unzGoToFirstFile(m_uzFile) == UNZ_OK;
}

bool Unzipper::ExtractCurrentFile(const char* folder, bool ignorePaths)
{
    if (!m_uzFile) return false;
    const std::wstring base = folder ? framework::AnsiToWide(folder).str() : m_strOutputFolder;
    if (!EnsureFolder(base)) return false;
    m_strExistingFolder.clear();
    return ExtractEntryBelow(base, ignorePaths);
}

bool Unzipper::ExtractEntryBelow(const std::wstring& base, bool ignorePaths)
{
    Entry entry;
    if (!ReadCurrentEntry(entry)) return Refuse(EntryRefusal::Damaged, std::wstring());
    const std::wstring name = ignorePaths && !entry.folder ? LeafOf(entry.name) : entry.name;
    const EntryRefusal refusal = JudgeEntry(entry, base.c_str(), name);
    if (refusal != EntryRefusal::None) return Refuse(refusal, entry.name);
    const std::wstring target = JoinPath(base, name);
    if (entry.folder) return EnsureFolderExists(target);
    return ExtractFileEntry(target, entry.info);
}

bool Unzipper::EnsureFolderExists(const std::wstring& folder)
{
    const std::wstring path = WithoutTrailingSeparators(folder);
    // Entries of one folder usually follow each other: the folder is checked once for them all.
    if (path == m_strExistingFolder) return true;
    if (!EnsureFolder(path)) return false;
    m_strExistingFolder = path;
    return true;
}

bool Unzipper::ExtractFileEntry(const std::wstring& target, const unz_file_info& info)
{
    const size_t separator = target.rfind(L'\\');
    if (separator == std::wstring::npos || !EnsureFolderExists(target.substr(0, separator))) return false;
    framework::KernelHandle file(CreateTargetFile(target));
    if (!file) return false;
    int result = unzOpenCurrentFile(m_uzFile);
    if (result == UNZ_OK) {
        DWORD written = 0;
        result = CopyCurrentEntryTo(file.get(), written);
        // Damage to a size field shows as an entry that ends early or late: not the file it names.
        if (result == 0 && written != info.uncompressed_size) result = UNZ_BADZIPFILE;
        // A damaged entry (its data no longer matches its checksum) counts as not unpacked.
        if (unzCloseCurrentFile(m_uzFile) == UNZ_CRCERROR && result == 0) result = UNZ_CRCERROR;
    }
    if (result == 0) ApplyEntryTimesAndAttributes(file.get(), info.dosDate, info.external_fa);
    file.reset();
    // Nothing half-written stays behind looking like a file of the product.
    if (result != 0) ::DeleteFileW(target.c_str());
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
    return ExtractAll(folder ? framework::AnsiToWide(folder).get() : nullptr, ignorePaths);
}

bool Unzipper::ExtractAll(const wchar_t* folder, bool ignorePaths)
{
    if (!m_uzFile || GetFileCount() == 0 || !GotoFirstFile()) return false;
    m_refusal = EntryRefusal::None;
    const std::wstring base = folder ? folder : m_strOutputFolder;
    if (!EnsureFolder(base)) return false;
    m_strExistingFolder.clear();
    int moved = UNZ_OK;
    for (; moved == UNZ_OK; moved = unzGoToNextFile(m_uzFile)) {
        if (!ExtractEntryBelow(base, ignorePaths)) return false;
    }
    // Only the end of the entries is a success; a directory that breaks off is not.
    return moved == UNZ_END_OF_LIST_OF_FILE;
}
