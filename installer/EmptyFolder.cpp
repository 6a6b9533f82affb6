#include "installer/EmptyFolder.h"

#include <windows.h>

#include "archive/FileUtils.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"

bool EmptyFolder(const std::wstring& folder, bool removeFolder)
{
    WIN32_FIND_DATAW entry;
    framework::FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = framework::Format(L"%ls\\%ls", folder.c_str(), name.c_str());
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLinkOrFile(path.c_str(), entry.dwFileAttributes);
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path, true);
        } else {
            ::DeleteFileW(path.c_str());
        }
    } while (::FindNextFileW(search.get(), &entry));
    search.reset();
    if (removeFolder) ::RemoveDirectoryW(folder.c_str());
    return true;
}
