#include "installer/ProfilePath.h"

#include <shlobj.h>
#include <wtsapi32.h>

#include <cwchar>

#include "framework/ScopedHandle.h"
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
    const auto query = framework::GetExport<QueryFn>(wtsapi.get(), "WTSQuerySessionInformationW");
    const auto release = framework::GetExport<FreeFn>(wtsapi.get(), "WTSFreeMemory");
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

std::wstring QueryProfilesFolder()
{
    // userenv is no KnownDLL either: loaded by full path, like wtsapi32.
    const framework::Module userenv = framework::LoadSystemLibrary(L"userenv.dll");
    if (!userenv) return std::wstring();
    using GetProfilesDirectoryFn = BOOL(WINAPI*)(LPWSTR, LPDWORD);
    const auto getProfilesDirectory = framework::GetExport<GetProfilesDirectoryFn>(userenv.get(), "GetProfilesDirectoryW");
    wchar_t folder[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!getProfilesDirectory || !getProfilesDirectory(folder, &size)) return std::wstring();
    std::wstring result = folder;
    while (!result.empty() && result.back() == L'\\') result.pop_back();
    return result;
}

bool QuerySessionUserRoamingFolder(std::wstring& folder)
{
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return false;
    const framework::Module wtsapi = framework::LoadSystemLibrary(L"wtsapi32.dll");
    if (!wtsapi) return false;
    using QueryUserTokenFn = BOOL(WINAPI*)(ULONG, PHANDLE);
    const auto queryUserToken = framework::GetExport<QueryUserTokenFn>(wtsapi.get(), "WTSQueryUserToken");
    framework::KernelHandle token;
    if (!queryUserToken || !queryUserToken(session, token.receive())) return false;
    wchar_t path[MAX_PATH] = {};
    const HRESULT result = ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, token.get(), SHGFP_TYPE_CURRENT, path);
    if (FAILED(result) || !path[0]) {
        ::SetLastError(FAILED(result) ? HRESULT_CODE(result) : ERROR_PATH_NOT_FOUND);
        return false;
    }
    folder = path;
    return true;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether path lies in a profile below the profiles folder, and that folder lies directly below
// a drive (C:\Users): only then is the third component of the path the profile's own folder.
bool LiesInProfilesFolder(const std::wstring& path, const std::wstring& profiles)
{
    const bool directlyBelowDrive = profiles.size() > 3 && profiles[1] == L':' && profiles[2] == L'\\' &&
                                    profiles.find(L'\\', 3) == std::wstring::npos;
    if (!directlyBelowDrive || path.size() <= profiles.size() + 1 || path[profiles.size()] != L'\\') return false;
    if (!SameText(path.substr(0, profiles.size()), profiles)) return false;
    // A folder inside the profile, not the profile itself.
    const size_t profileEnd = path.find(L'\\', profiles.size() + 1);
    return profileEnd != std::wstring::npos && profileEnd > profiles.size() + 1;
}

}  // namespace

ProfileQueries SystemProfileQueries()
{
    return ProfileQueries{QueryProfilesFolder, QuerySessionUserRoamingFolder};
}

std::wstring ResolveRoamingFolder(const std::wstring& reported, const std::wstring& sessionUser,
                                  const std::wstring& processUser, const ProfileQueries& queries)
{
    // An unknown session user cannot be told apart from the process's own account: the
    // system's folder is then the only one known to be a real profile.
    if (sessionUser.empty() || SameText(sessionUser, processUser)) return reported;
    if (LiesInProfilesFolder(reported, queries.profilesFolder())) return ReplaceProfileUser(reported, sessionUser);
    std::wstring own;
    return queries.sessionUserRoamingFolder(own) ? own : std::wstring();
}
