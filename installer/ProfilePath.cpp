#include "installer/ProfilePath.h"

#include <wtsapi32.h>

#include <cwchar>
#include <cwctype>

#include "framework/SystemLibrary.h"

BOOL GetSessionUserName(std::wstring& user)
{
    user.clear();
    // wtsapi32 is not one of the DLLs Windows always loads from the system folder, so it is
    // loaded here by full path instead of being imported.
    const framework::Module wtsapi = framework::LoadSystemLibrary(L"wtsapi32.dll");
    if (!wtsapi) return FALSE;
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*, DWORD*);
    using FreeFn = void(WINAPI*)(PVOID);
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(wtsapi.get(), "WTSQuerySessionInformationW")));
    const auto release = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(::GetProcAddress(wtsapi.get(), "WTSFreeMemory")));
    if (!query || !release) return FALSE;

    LPWSTR name = nullptr;
    DWORD bytes = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName, &name, &bytes)) return FALSE;
    if (name) user = name;
    release(name);
    return TRUE;
}

std::wstring GetProcessUserName()
{
    wchar_t name[257] = {};  // UNLEN + 1
    DWORD size = 257;
    return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

std::wstring ReplaceProfileUser(std::wstring path, std::wstring user)
{
    const size_t first = path.find(L'\\');
    if (first == std::wstring::npos) return path;
    const size_t second = path.find(L'\\', first + 1);
    if (second == std::wstring::npos) return path;
    const size_t third = path.find(L'\\', second + 1);
    if (third == std::wstring::npos) return path;
    return path.substr(0, second + 1) + user + path.substr(third);
}

namespace {

bool IsDriveLetterPath(const std::wstring& path)
{
    return path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

std::wstring ResolveRoamingFolder(const std::wstring& roaming, const std::wstring& sessionUser,
                                  const std::wstring& processUser)
{
    // An unknown session user cannot be told apart from the process's own account: the
    // system's folder is then the only one known to be a real profile.
    const bool otherAccount = !sessionUser.empty() && _wcsicmp(sessionUser.c_str(), processUser.c_str()) != 0;
    if (!otherAccount || !IsDriveLetterPath(roaming)) return roaming;
    return ReplaceProfileUser(roaming, sessionUser);
}
