#include "installer/upgrade/Leftovers.h"

#include <windows.h>

#include "archive/FileUtils.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"
#include "installer/upgrade/FolderTree.h"
#include "installer/upgrade/UpgradeFolders.h"

namespace {

// Enough to name what holds a folder up in the log; the rest of a large product follows.
constexpr size_t kFilesToMove = 100000;
constexpr size_t kFilesToLog = 5;

std::wstring MovedAsidePrefix(const UpgradeFolders& folders)
{
    return folders.install + L".del-";
}

// Unique among the runs on this machine: the process id and the time.
std::wstring NewMovedAsideFolder(const UpgradeFolders& folders)
{
    static unsigned serial = 0;
    return MovedAsidePrefix(folders) +
           framework::Format(L"%lx-%llx-%x", ::GetCurrentProcessId(), ::GetTickCount64(), ++serial);
}

bool Move(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(), 0) != FALSE;
}

// Moves the files left below folder into target, one by one, under numbered names.
void MoveFilesInto(const std::wstring& folder, const std::wstring& target)
{
    if (!::CreateDirectoryW(ExtendedLengthPath(target).c_str(), nullptr)) return;
    unsigned number = 0;
    for (const std::wstring& file : FilesBelow(folder, kFilesToMove)) {
        const std::wstring moved = framework::Format(L"%ls\\%u", target.c_str(), number++);
        if (!Move(file, moved)) {
            InstallLog::Instance().Failure(L"cleaned up", L"a file in use could not be moved aside", file,
                                           ::GetLastError());
        }
    }
    ::RemoveDirectoryW(ExtendedLengthPath(target).c_str());  // when nothing had to be moved
}

void LogFilesLeft(const std::wstring& folder, const wchar_t* reason)
{
    std::vector<std::wstring> files = FilesBelow(folder, kFilesToLog);
    if (files.empty()) files.push_back(folder);  // a folder that cannot be listed or removed
    for (const std::wstring& file : files) {
        // The error of a file that is still there is the one its deletion meets.
        framework::KernelHandle probe(::CreateFileW(ExtendedLengthPath(file).c_str(), DELETE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        InstallLog::Instance().Failure(L"cleaned up", reason, file, probe ? ERROR_SUCCESS : ::GetLastError());
    }
}

}  // namespace

bool DeleteOrMoveAside(const std::wstring& folder, const UpgradeFolders& folders)
{
    if (DeleteFolderTree(folder)) return true;
    LogFilesLeft(folder, L"a file in use is moved aside for a later run");
    // The whole folder at once where Windows allows it; else file by file, and the emptied
    // folders deleted.
    const std::wstring target = NewMovedAsideFolder(folders);
    if (Move(folder, target)) return true;
    MoveFilesInto(folder, target);
    if (DeleteFolderTree(folder)) return true;
    LogFilesLeft(folder, L"a file can neither be deleted nor moved aside");
    return false;
}

void DeleteMovedAsideFolders(const UpgradeFolders& folders)
{
    WIN32_FIND_DATAW entry;
    const std::wstring prefix = MovedAsidePrefix(folders);
    framework::FindHandle search(::FindFirstFileW(ExtendedLengthPath(prefix + L"*").c_str(), &entry));
    if (!search) return;
    do {
        const std::wstring path = folders.parent + L"\\" + entry.cFileName;
        if (!DeleteFolderTree(path)) LogFilesLeft(path, L"a file an earlier run moved aside is still in use");
    } while (::FindNextFileW(search.get(), &entry));
}
