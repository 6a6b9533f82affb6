#include "installer/upgrade/FolderTree.h"

#include <windows.h>

#include "archive/FileUtils.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"

namespace {

// Attributes that keep an entry from being deleted or replaced: read-only refuses deletion, and
// a hidden or system file cannot be replaced by one created with plain attributes.
constexpr DWORD kGuardingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Calls visit(path, attributes) for every entry of folder except "." and ".."; stops early
// when visit returns false. False when the folder cannot be searched.
template <typename Visit>
bool ForEachEntry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW entry;
    framework::FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (!visit(framework::Format(L"%ls\\%ls", folder.c_str(), name.c_str()), entry.dwFileAttributes)) break;
    } while (::FindNextFileW(search.get(), &entry));
    return true;
}

bool IsLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The attributes an entry has once the guarding ones are cleared. A link's attributes are its
// own: clearing them leaves its target alone.
DWORD ClearGuardingAttributes(const std::wstring& path, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) return attributes;
    if (attributes & kGuardingAttributes) ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return attributes & ~kGuardingAttributes;
}

bool IsFileInUse(const std::wstring& path)
{
    // Everything is shared, so only another handle that refuses to share fails the open. A
    // running program's image and a loaded library share deletion but refuse writing: asking
    // for both finds them as well as a file held open without sharing.
    framework::KernelHandle file(::CreateFileW(path.c_str(), DELETE | FILE_WRITE_DATA,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !file && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Deletes what it can of folder; folder and the paths below it are in their verbatim form.
void RemoveVerbatimTree(const std::wstring& folder)
{
    // A link in the folder's place is removed itself, and so is a file of that name.
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (IsLink(attributes) || !IsFolder(attributes))) {
        RemoveLinkOrFile(folder.c_str(), ClearGuardingAttributes(folder, attributes));
        return;
    }
    const bool searched = ForEachEntry(folder, [](const std::wstring& path, DWORD attributes) {
        attributes = ClearGuardingAttributes(path, attributes);
        if (IsLink(attributes)) {
            RemoveLinkOrFile(path.c_str(), attributes);
        } else if (IsFolder(attributes)) {
            RemoveVerbatimTree(path);
        } else {
            ::DeleteFileW(path.c_str());
        }
        return true;
    });
    if (!searched) return;
    ClearGuardingAttributes(folder, ::GetFileAttributesW(folder.c_str()));
    ::RemoveDirectoryW(folder.c_str());
}

// Calls visit(path) for every file below folder, links left out; stops when visit returns false.
template <typename Visit>
bool ForEachFileBelow(const std::wstring& folder, Visit& visit)
{
    bool more = true;
    ForEachEntry(folder, [&](const std::wstring& path, DWORD attributes) {
        if (IsLink(attributes)) return true;
        more = IsFolder(attributes) ? ForEachFileBelow(path, visit) : visit(path);
        return more;
    });
    return more;
}

// The files below folder that pass the test, at most limit, in the form folder was given.
template <typename Test>
std::vector<std::wstring> CollectFilesBelow(const std::wstring& folder, size_t limit, Test test)
{
    const std::wstring verbatim = ExtendedLengthPath(folder);
    std::vector<std::wstring> files;
    auto visit = [&](const std::wstring& path) {
        if (test(path)) files.push_back(folder + path.substr(verbatim.size()));
        return files.size() < limit;
    };
    if (limit > 0) ForEachFileBelow(verbatim, visit);
    return files;
}

}  // namespace

bool DeleteFolderTree(const std::wstring& folder)
{
    const std::wstring verbatim = ExtendedLengthPath(folder);
    RemoveVerbatimTree(verbatim);
    if (::GetFileAttributesW(verbatim.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::vector<std::wstring> FilesInUseBelow(const std::wstring& folder, size_t limit)
{
    return CollectFilesBelow(folder, limit, IsFileInUse);
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder, size_t limit)
{
    return CollectFilesBelow(folder, limit, [](const std::wstring&) { return true; });
}
