#include "archive/ZipExports.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "archive/AnsiPath.h"
#include "archive/BoundedPath.h"
#include "archive/EntryName.h"
#include "archive/FileUtils.h"

namespace {

constexpr unsigned kCopyBlock = 2048;

bool IsBlankOrBackslash(char c)
{
    return c == '\\' || (static_cast<unsigned char>(c) < 0x80 && std::isspace(static_cast<unsigned char>(c)));
}

// The length of text without its trailing blanks and backslashes.
size_t TrimmedLength(const char* text)
{
    size_t end = 0;
    for (size_t at = 0; text[at] != '\0';) {
        const size_t length = AnsiCharLength(text + at);
        if (length == 2 || !IsBlankOrBackslash(text[at])) end = at + length;
        at += length;
    }
    return end;
}

std::string Unterminated(const std::string& path)
{
    return path.substr(0, TrimmedLength(path.c_str()));
}

// Where the last component begins: just after the last separator, or at the start.
size_t LastComponentStart(const std::string& path)
{
    size_t start = 0;
    for (size_t at = 0; at < path.size(); at += AnsiCharLength(path.c_str() + at)) {
        if (path[at] == '\\') start = at + 1;
    }
    return start;
}

std::string LastComponent(const std::string& path)
{
    return path.substr(LastComponentStart(path));
}

// The path without the extension of its last component (from the last dot on, as _splitpath
// splits it). A dot is never the second byte of a double-byte character.
std::string WithoutExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < LastComponentStart(path) ? path : path.substr(0, dot);
}

bool SameCharacter(const char* a, const char* b, size_t length)
{
    if (length == 2) return a[0] == b[0] && a[1] == b[1];
    return std::tolower(static_cast<unsigned char>(*a)) == std::tolower(static_cast<unsigned char>(*b));
}

// A path test, not a text test: path lies in folder when it is the folder itself or continues
// with a separator after it (C:\database\x.txt is not in C:\data). Letters of the ASCII range
// match in either case, as the file system matches them. Returns where the rest of path begins,
// or npos. Every path lies in the empty folder.
size_t PathInFolder(const std::string& path, const std::string& folder)
{
    size_t at = 0;
    while (at < folder.size()) {
        const size_t length = AnsiCharLength(folder.c_str() + at);
        if (at + length > path.size() || AnsiCharLength(path.c_str() + at) != length ||
            !SameCharacter(path.c_str() + at, folder.c_str() + at, length)) {
            return std::string::npos;
        }
        at += length;
    }
    if (folder.empty() || at == path.size()) return at;
    return path[at] == '\\' ? at + 1 : std::string::npos;
}

// The rest of path after folder, when path lies in it.
bool NameBelowFolder(const char* path, const char* folder, char (&name)[MAX_PATH])
{
    const std::string full = path;
    const size_t rest = PathInFolder(full, folder);
    return rest != std::string::npos && CopyBounded(name, full.substr(rest));
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Slashes become backslashes and every run of backslashes one backslash. A network path is
// refused: with one of its leading backslashes gone it would name a folder on the current drive.
bool NormalizeZipperPath(const char* path, char (&normalized)[MAX_PATH])
{
    normalized[0] = '\0';
    if (path && IsSeparator(path[0]) && IsSeparator(path[1])) return false;
    std::string text;
    bool afterSeparator = false;
    for (size_t at = 0; path && path[at] != '\0';) {
        const size_t length = AnsiCharLength(path + at);
        const bool separator = length == 1 && IsSeparator(path[at]);
        if (!separator) {
            text.append(path + at, length);
        } else if (!afterSeparator) {
            text.push_back('\\');
        }
        afterSeparator = separator;
        at += length;
    }
    return CopyBounded(normalized, text);
}

bool FullPath(const char* path, char (&full)[MAX_PATH])
{
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        full[0] = '\0';
        return false;
    }
    return true;
}

bool SamePath(const char* a, const char* b)
{
    char fullA[MAX_PATH], fullB[MAX_PATH];
    if (!FullPath(a, fullA) || !FullPath(b, fullB)) return false;
    const std::string pathA = Unterminated(fullA), pathB = Unterminated(fullB);
    return PathInFolder(pathA, pathB) == pathA.size() && PathInFolder(pathB, pathA) == pathB.size();
}

bool HasAttributes(const char* path, bool folder)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

// folder\name; just name when there is no folder.
std::string JoinUnder(const std::string& folder, const std::string& name)
{
    const std::string parent = Unterminated(folder);
    return parent.empty() ? name : parent + "\\" + name;
}

zip_fileinfo EntryInfo(DWORD attributes, const SYSTEMTIME& time)
{
    zip_fileinfo info{};
    info.tmz_date.tm_sec = time.wSecond;
    info.tmz_date.tm_min = time.wMinute;
    info.tmz_date.tm_hour = time.wHour;
    info.tmz_date.tm_mday = time.wDay;
    info.tmz_date.tm_mon = static_cast<uInt>(time.wMonth) - 1u;
    info.tmz_date.tm_year = time.wYear;
    info.external_fa = attributes;
    return info;
}

// Every entry is deflated at the default level, with no extra fields and no comment.
bool OpenEntry(zipFile archive, const char* name, const zip_fileinfo& info)
{
    return zipOpenNewFileInZip(archive, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK;
}

// A read error ends the entry early and makes the whole addition fail: the entry stays in the
// archive (nothing written can be taken back) but is not reported as the file it names.
bool CopyFileIntoEntry(zipFile archive, HANDLE file, Z_FileInfo& counters)
{
    char block[kCopyBlock];
    DWORD total = 0;
    bool copied = true;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, block, kCopyBlock, &read, nullptr)) {
            copied = false;
            break;
        }
        total += read;
        if (read == 0) break;
        if (zipWriteInFileInZip(archive, block, read) != ZIP_OK) {
            copied = false;
            break;
        }
    }
    counters.dwTotalBytes += total;
    return copied;
}

// An entry counts as written only when minizip also finished it without error.
bool WriteFileEntry(zipFile archive, const char* name, const zip_fileinfo& info, HANDLE file, Z_FileInfo& counters)
{
    if (!OpenEntry(archive, name, info)) return false;
    ++counters.nFileCount;
    const bool copied = CopyFileIntoEntry(archive, file, counters);
    return zipCloseFileInZip(archive) == ZIP_OK && copied;
}

bool WriteBytesEntry(zipFile archive, const char* name, const zip_fileinfo& info, const char* data, int size,
                     Z_FileInfo& counters)
{
    if (!OpenEntry(archive, name, info)) return false;
    ++counters.nFileCount;
    int result = ZIP_OK;
    int offset = 0;
    // One call with no bytes for an empty entry.
    do {
        const unsigned block = std::min(static_cast<unsigned>(size - offset), kCopyBlock);
        result = zipWriteInFileInZip(archive, data + offset, block);
        offset += static_cast<int>(block);
    } while (result == ZIP_OK && offset < size);
    counters.dwTotalBytes += static_cast<DWORD>(size);
    return zipCloseFileInZip(archive) == ZIP_OK && result == ZIP_OK;
}

// A folder entry has no data. One that cannot be written does not stop the walk: the files
// below it still get their entries.
void WriteFolderEntry(zipFile archive, const char* name, const zip_fileinfo& info)
{
    if (OpenEntry(archive, name, info)) zipCloseFileInZip(archive);
}

// Calls addFolder or addFile with the path of each entry of folder whose name does not begin
// with a dot, which leaves out "." and ".." and every name hidden that way. An entry whose path
// would not fit a MAX_PATH buffer is left out too.
template <typename AddFolder, typename AddFile>
void ForEachVisibleEntry(const char* folder, AddFolder addFolder, AddFile addFile)
{
    char pattern[MAX_PATH];
    if (!CopyBounded(pattern, JoinUnder(folder, "*.*"))) return;
    WIN32_FIND_DATAA found;
    framework::FindHandle search(::FindFirstFileA(pattern, &found));
    if (!search) return;
    do {
        char child[MAX_PATH];
        if (found.cFileName[0] == '.' || !CopyBounded(child, JoinUnder(folder, found.cFileName))) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            addFolder(child);
        } else {
            addFile(child);
        }
    } while (::FindNextFileA(search.get(), &found));
}

// The base folder an archive is opened with: the given one made absolute (a relative one would
// be joined twice in a walk, which joins the paths it finds to the base folder), or the
// archive's own folder. Trailing blanks and backslashes are removed later.
bool BaseFolderFor(const char* given, const char* archive, char (&folder)[MAX_PATH])
{
    if (*given) return FullPath(given, folder);
    return CopyBounded(folder, std::string(archive, LastComponentStart(archive)));
}

// The archive a file is zipped into: same folder and base name, extension .zip. A .zip file
// itself has none, since creating its archive would destroy it.
bool ArchiveForFile(const char* sourceFile, char (&source)[MAX_PATH], std::string& archive)
{
    char normalized[MAX_PATH];
    if (!NormalizeZipperPath(sourceFile, normalized) || !*normalized || !FullPath(normalized, source)) return false;
    const std::string stem = WithoutExtension(source);
    archive = stem + ".zip";
    return HasAttributes(source, false) && _stricmp(source + stem.size(), ".zip") != 0;
}

// The archive a folder is zipped into: the folder's path with .zip appended, so beside the
// folder, or inside it, named .zip, when the path ends in a backslash.
bool ArchiveForFolder(const char* folderPath, char (&folder)[MAX_PATH], std::string& archive)
{
    char normalized[MAX_PATH];
    if (!NormalizeZipperPath(folderPath, normalized) || !*normalized || !FullPath(normalized, folder)) return false;
    archive = std::string(folder) + ".zip";
    return HasAttributes(folder, true);
}

// Whether a source names the archive itself, resolved as the archive's Zipper would resolve it
// (relative to the archive's folder). Replacing an archive with one that holds the archive would
// destroy it before it is read.
bool IsTheArchiveItself(const char* archivePath, const char* sourceFile)
{
    char archive[MAX_PATH], source[MAX_PATH], full[MAX_PATH];
    if (!NormalizeZipperPath(archivePath, archive) || !NormalizeZipperPath(sourceFile, source) || !*source ||
        !FullPath(archive, full)) {
        return false;
    }
    const std::string folder(full, LastComponentStart(full));
    return SamePath(std::strchr(source, ':') ? source : JoinUnder(folder, source).c_str(), full);
}

// Opens an archive anew, lets add write its entries and closes it: true when the entries were
// added and the archive was written out completely.
template <typename AddEntries>
bool WriteArchive(const char* archivePath, const char* baseFolder, AddEntries add)
{
    Zipper zipper;
    if (!zipper.OpenZip(archivePath, baseFolder)) return false;
    const bool added = add(zipper);
    return zipper.CloseZip() && added;
}

// Moves a finished archive into the destination's folder and names it after the destination's
// base name with the extension .zip (the destination's own extension does not count). Steps
// that would change nothing are left out, since the shell may report them as errors (renaming a
// file to its own name fails with ERROR_ALREADY_EXISTS). A destination without a name, only a
// folder, keeps the archive's own name.
bool DeliverArchive(const std::string& archive, const char* destination)
{
    if (!destination) return true;
    char target[MAX_PATH];
    if (!NormalizeZipperPath(destination, target)) return false;
    const std::string folder = std::string(target, LastComponentStart(target));
    const std::string baseName = WithoutExtension(LastComponent(target));
    const std::string archiveName = LastComponent(archive);
    const std::string archiveFolder = archive.substr(0, archive.size() - archiveName.size());
    std::string moved = archive;
    if (!SamePath(archiveFolder.c_str(), folder.c_str())) {
        if (move_to_folder(archive.c_str(), folder.c_str()) != FILEUTIL_OK) return false;
        moved = JoinUnder(folder, archiveName);
    }
    const std::string finalName = baseName + ".zip";
    if (baseName.empty() || finalName == archiveName) return true;
    return rename_path(moved.c_str(), finalName.c_str());
}

// A wide path reaches the narrow functions only when the ANSI code page holds it exactly: a
// character it lacks would turn into '?' or into a look-alike, and so name another file.
bool ConvertsExactly(const wchar_t* wide, const char* narrow)
{
    if (!wide) return true;
    const int size = ::MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
    if (size <= 0) return false;
    std::wstring back(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, narrow, -1, &back[0], size);
    return std::wcscmp(back.c_str(), wide) == 0;
}

template <typename Call>
bool WithAnsiPaths(const wchar_t* first, const wchar_t* second, Call call)
{
    const UINT codePage = ::GetACP();
    const MultiByteBuffer narrowFirst(first, codePage);
    const MultiByteBuffer narrowSecond(second, codePage);
    if (!narrowFirst.ok() || !narrowSecond.ok()) return false;
    if (!ConvertsExactly(first, narrowFirst.get()) || !ConvertsExactly(second, narrowSecond.get())) return false;
    return call(narrowFirst.get(), narrowSecond.get());
}

}  // namespace

void Zipper::ArchiveTraits::Close(Handle archive)
{
    zipClose(archive, nullptr);
}

Zipper::Zipper(const char* archivePath, const char* baseFolder, bool append) : m_szBaseFolder(), m_info()
{
    if (archivePath) OpenZip(archivePath, baseFolder, append);
}

Zipper::Zipper(const Zipper& other) : m_szBaseFolder(), m_info(other.m_info)
{
    std::memcpy(m_szBaseFolder, other.m_szBaseFolder, sizeof(m_szBaseFolder));
}

Zipper& Zipper::operator=(const Zipper& other)
{
    if (this != &other) {
        CloseZip();
        std::memcpy(m_szBaseFolder, other.m_szBaseFolder, sizeof(m_szBaseFolder));
        m_info = other.m_info;
    }
    return *this;
}

Zipper::~Zipper()
{
    CloseZip();
}

bool Zipper::OpenZip(const char* archivePath, const char* baseFolder, bool append)
{
    CloseZip();
    m_info = Z_FileInfo();
    char archive[MAX_PATH], base[MAX_PATH], fullPath[MAX_PATH];
    if (!NormalizeZipperPath(archivePath, archive) || !NormalizeZipperPath(baseFolder, base)) return false;
    char folder[MAX_PATH];
    if (!*archive || !FullPath(archive, fullPath) || !BaseFolderFor(base, fullPath, folder)) return false;
    CopyBounded(m_szBaseFolder, folder);
    UnterminatePath(m_szBaseFolder);

    const bool addToExisting = append && ::GetFileAttributesA(fullPath) != INVALID_FILE_ATTRIBUTES;
    m_hZip.reset(zipOpen(fullPath, addToExisting ? APPEND_STATUS_ADDINZIP : APPEND_STATUS_CREATE));
    if (!m_hZip) m_szBaseFolder[0] = '\0';
    return m_hZip.valid();
}

bool Zipper::CloseZip()
{
    m_szBaseFolder[0] = '\0';
    if (!m_hZip) return true;
    return zipClose(m_hZip.release(), nullptr) == ZIP_OK;
}

bool Zipper::AddFileToZip(const char* sourceFile, bool ignorePath)
{
    char path[MAX_PATH];
    if (!m_hZip || !NormalizeZipperPath(sourceFile, path)) return false;
    char name[MAX_PATH];
    if (ignorePath) {
        CopyBounded(name, LastComponent(path));
    } else if (std::strchr(path, ':')) {
        if (!NameBelowFolder(path, m_szBaseFolder, name)) return false;
    } else {
        CopyBounded(name, std::strncmp(path, ".\\", 2) == 0 ? path + 2 : path);
    }
    // Judged by the archive reader's own rules, so that ..\x and a\..\..\x are refused too.
    PrepareZipPath(name);
    if (!IsSafeEntryName(name) || !PrepareSourcePath(path)) return false;

    SYSTEMTIME modified;
    GetLastModified(path, modified);
    const zip_fileinfo info = EntryInfo(::GetFileAttributesA(path) & ~FILE_ATTRIBUTE_READONLY, modified);
    framework::KernelHandle file(
        ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ::OutputDebugStringA("***Zipper - CreateFileA Failed\n");
        return false;
    }
    return WriteFileEntry(m_hZip.get(), name, info, file.get(), m_info);
}

bool Zipper::AddFileToZip(const char* sourceFile, const char* folderInZip)
{
    char path[MAX_PATH], folder[MAX_PATH], name[MAX_PATH];
    if (!m_hZip || !NormalizeZipperPath(sourceFile, path) || !NormalizeZipperPath(folderInZip, folder)) return false;
    if (std::strchr(folder, ':') || !CopyBounded(name, JoinUnder(folder, LastComponent(path)))) return false;
    PrepareZipPath(name);
    if (!IsSafeEntryName(name) || !PrepareSourcePath(path)) return false;

    SYSTEMTIME modified;
    GetLastModified(path, modified);
    const zip_fileinfo info = EntryInfo(::GetFileAttributesA(path), modified);
    framework::KernelHandle file(::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_READONLY, nullptr));
    if (!file) return false;
    return WriteFileEntry(m_hZip.get(), name, info, file.get(), m_info);
}

bool Zipper::AddFileToZip(const void* data, int size, const char* entryPath)
{
    char name[MAX_PATH];
    if (!m_hZip || size < 0 || (!data && size > 0) || !NormalizeZipperPath(entryPath, name)) return false;
    if (std::strchr(name, ':')) return false;
    PrepareZipPath(name);
    if (!IsSafeEntryName(name)) return false;

    // The current time in UTC, where file entries carry their local modification time.
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return WriteBytesEntry(m_hZip.get(), name, EntryInfo(FILE_ATTRIBUTE_NORMAL, now), static_cast<const char*>(data), size,
                           m_info);
}

bool Zipper::AddFolderToZip(const char* folder, bool ignorePath)
{
    char path[MAX_PATH];
    if (!m_hZip || !NormalizeZipperPath(folder, path)) return false;
    ++m_info.nFolderCount;
    if (!PrepareSourcePath(path)) return false;
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

    char relative[MAX_PATH] = "";
    const bool belowBase = NameBelowFolder(path, m_szBaseFolder, relative);
    if (!belowBase && !ignorePath) return false;
    PrepareZipPath(relative);
    // The base folder itself has no entry of its own: the archive holds its contents.
    const bool isBaseFolder = belowBase && relative[0] == '\0';
    char name[MAX_PATH];
    CopyBounded(name, ignorePath ? LastComponent(path) : std::string(relative));
    PrepareZipPath(name);
    if (!isBaseFolder && *name) {
        if (!IsSafeEntryName(name)) return false;
        SYSTEMTIME modified;
        GetLastModified(path, modified);
        WriteFolderEntry(m_hZip.get(), name, EntryInfo(attributes, modified));
    }

    ForEachVisibleEntry(
        path, [&](const char* child) { AddFolderToZip(child, ignorePath); },
        [&](const char* child) { AddFileToZip(child, ignorePath); });
    return true;
}

void Zipper::GetFileInfo(Z_FileInfo& info) const
{
    info = m_info;
}

bool Zipper::zip_file(const char* sourceFile)
{
    char source[MAX_PATH];
    std::string archive;
    if (!ArchiveForFile(sourceFile, source, archive)) return false;
    return WriteArchive(archive.c_str(), nullptr, [&](Zipper& zipper) { return zipper.AddFileToZip(source, false); });
}

bool Zipper::zip_folder(const char* folderPath, bool ignorePath)
{
    char folder[MAX_PATH];
    std::string archive;
    if (!ArchiveForFolder(folderPath, folder, archive)) return false;
    return WriteArchive(archive.c_str(), folder, [&](Zipper& zipper) { return zipper.AddFolderToZip(folder, ignorePath); });
}

void Zipper::UnterminatePath(char* path)
{
    if (path) path[TrimmedLength(path)] = '\0';
}

void Zipper::PrepareZipPath(char* path)
{
    if (!path) return;
    UnterminatePath(path);
    // A lead byte is never a blank or a backslash, so the leading run can be found byte by byte.
    size_t skip = 0;
    while (path[skip] != '\0' && IsBlankOrBackslash(path[skip])) ++skip;
    std::memmove(path, path + skip, std::strlen(path + skip) + 1);
}

bool Zipper::PrepareSourcePath(char (&path)[MAX_PATH]) const
{
    if (std::strchr(path, ':')) return true;
    return CopyBounded(path, JoinUnder(m_szBaseFolder, path));
}

bool Zipper::GetLastModified(const char* path, SYSTEMTIME& time)
{
    std::memset(&time, 0, sizeof(time));
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    if (!path || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &time)) {
        std::memset(&time, 0, sizeof(time));
        return false;
    }
    return true;
}

bool zip_file(const char* sourceFile, const char* destination)
{
    char source[MAX_PATH];
    std::string archive;
    return Zipper::zip_file(sourceFile) && ArchiveForFile(sourceFile, source, archive) && DeliverArchive(archive, destination);
}

bool zip_file(const wchar_t* sourceFile, const wchar_t* destination)
{
    return WithAnsiPaths(sourceFile, destination, [](const char* source, const char* target) { return zip_file(source, target); });
}

bool zip_folder(const char* folderPath, bool ignorePath, const char* destination)
{
    char folder[MAX_PATH];
    std::string archive;
    return Zipper::zip_folder(folderPath, ignorePath) && ArchiveForFolder(folderPath, folder, archive) &&
           DeliverArchive(archive, destination);
}

bool zip_folder(const wchar_t* folderPath, bool ignorePath, const wchar_t* destination)
{
    return WithAnsiPaths(folderPath, destination,
                         [ignorePath](const char* folder, const char* target) { return zip_folder(folder, ignorePath, target); });
}

bool zip_add_file(const char* archivePath, const char* sourceFile)
{
    if (IsTheArchiveItself(archivePath, sourceFile)) return false;
    return WriteArchive(archivePath, nullptr, [&](Zipper& zipper) { return zipper.AddFileToZip(sourceFile, false); });
}

bool zip_add_file(const wchar_t* archivePath, const wchar_t* sourceFile)
{
    return WithAnsiPaths(archivePath, sourceFile, [](const char* archive, const char* source) { return zip_add_file(archive, source); });
}

bool zip_add_folder(const char* archivePath, const char* folderPath, bool ignorePath)
{
    return WriteArchive(archivePath, nullptr, [&](Zipper& zipper) { return zipper.AddFolderToZip(folderPath, ignorePath); });
}

bool zip_add_folder(const wchar_t* archivePath, const wchar_t* folderPath, bool ignorePath)
{
    return WithAnsiPaths(archivePath, folderPath, [ignorePath](const char* archive, const char* folder) {
        return zip_add_folder(archive, folder, ignorePath);
    });
}
