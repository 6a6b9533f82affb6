#include "installer/EmptyFolder.h"

#include <windows.h>

#include "archive/FileUtils.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"

namespace {

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

bool IsFileInUse(const std::wstring& path)
{
    // Opening for deletion, sharing everything, fails only when another handle refuses to share.
    framework::KernelHandle file(::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !file && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

bool EmptyFolder(const std::wstring& folder, bool removeFolder)
{
    const bool searched = ForEachEntry(folder, [](const std::wstring& path, DWORD attributes) {
        if (IsLink(attributes)) {
            RemoveLinkOrFile(path.c_str(), attributes);
        } else if (IsFolder(attributes)) {
            EmptyFolder(path, true);
        } else {
            ::DeleteFileW(path.c_str());
        }
        return true;
    });
    if (!searched) return false;
    if (removeFolder) ::RemoveDirectoryW(folder.c_str());
    return true;
}

bool FolderHasFileInUse(const std::wstring& folder)
{
    bool inUse = false;
    ForEachEntry(folder, [&inUse](const std::wstring& path, DWORD attributes) {
        if (IsLink(attributes)) return true;
        inUse = IsFolder(attributes) ? FolderHasFileInUse(path) : IsFileInUse(path);
        return !inUse;
    });
    return inUse;
}
