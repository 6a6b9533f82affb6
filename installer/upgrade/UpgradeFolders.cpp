#include "installer/upgrade/UpgradeFolders.h"

#include <windows.h>

#include "framework/ScopedHandle.h"

namespace {

// The final path the system gives, out of its verbatim form where it has one.
std::wstring PlainForm(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// Where a link in the install folder's place points to; empty for a real folder or when the
// target cannot be reached.
std::wstring LinkTarget(const std::wstring& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::wstring();
    const framework::KernelHandle handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::wstring();
    wchar_t target[MAX_PATH * 4] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(handle.get(), target, ARRAYSIZE(target), VOLUME_NAME_DOS);
    if (length == 0 || length >= ARRAYSIZE(target)) return std::wstring();
    return PlainForm(target);
}

}  // namespace

UpgradeFolders UpgradeFolders::Of(const std::wstring& installDir)
{
    const UpgradeFolders folders(installDir);
    const std::wstring target = LinkTarget(folders.install);
    return target.empty() ? folders : UpgradeFolders(target);
}
