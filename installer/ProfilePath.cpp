#include "installer/ProfilePath.h"

#include <shlobj.h>
#include <wtsapi32.h>

#include <sddl.h>

#include <cwchar>

#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"

namespace {

// A text about the current session (WTSUserName, WTSDomainName); FALSE when the query fails.
BOOL QuerySessionText(WTS_INFO_CLASS what, std::wstring& text)
{
    text.clear();
    // wtsapi32 is not one of the DLLs Windows always loads from the system folder, so it is
    // loaded here by full path instead of being imported.
    const framework::Module wtsapi = framework::LoadSystemLibrary(L"wtsapi32.dll");
    if (!wtsapi) return FALSE;
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*, DWORD*);
    using FreeFn = void(WINAPI*)(PVOID);
    const auto query = framework::GetExport<QueryFn>(wtsapi.get(), "WTSQuerySessionInformationW");
    const auto release = framework::GetExport<FreeFn>(wtsapi.get(), "WTSFreeMemory");
    if (!query || !release) return FALSE;

    LPWSTR value = nullptr;
    DWORD bytes = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, what, &value, &bytes)) return FALSE;
    if (value) text = value;
    release(value);
    return TRUE;
}

}  // namespace

BOOL GetSessionUserName(std::wstring& user)
{
    return QuerySessionText(WTSUserName, user);
}

std::wstring GetProcessUserName()
{
    wchar_t name[257] = {};  // UNLEN + 1
    DWORD size = 257;
    return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
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

bool QuerySessionUserRoamingFolder(std::wstring& folder, framework::KernelHandle& token)
{
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return false;
    const framework::Module wtsapi = framework::LoadSystemLibrary(L"wtsapi32.dll");
    if (!wtsapi) return false;
    using QueryUserTokenFn = BOOL(WINAPI*)(ULONG, PHANDLE);
    const auto queryUserToken = framework::GetExport<QueryUserTokenFn>(wtsapi.get(), "WTSQueryUserToken");
    if (!queryUserToken || !queryUserToken(session, token.receive())) return false;
    folder = UserShellFolder(CSIDL_APPDATA, token.get());
    if (folder.empty()) {
        token.reset();
        return false;
    }
    return true;
}

// A text value of the registry, REG_EXPAND_SZ left unexpanded; empty when missing.
std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof(text);
    const LSTATUS status = ::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                          nullptr, text, &size);
    if (status != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(status));
        return std::wstring();
    }
    return text;
}

// The string form (S-1-5-21-...) of the SID of account; empty when the account is unknown.
std::wstring AccountSid(const std::wstring& account)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sid);
    wchar_t domain[256];
    DWORD domainSize = ARRAYSIZE(domain);
    SID_NAME_USE use;
    if (!::LookupAccountNameW(nullptr, account.c_str(), sid, &sidSize, domain, &domainSize, &use)) return std::wstring();
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return std::wstring();
    std::wstring result = text;
    ::LocalFree(text);
    return result;
}

// %USERPROFILE% at the start of a shell folder's value means the user's profile; the folder is
// not used when anything else in it would be expanded with this process's own environment.
std::wstring ExpandForProfile(const std::wstring& value, const std::wstring& profile)
{
    static constexpr wchar_t kUserProfile[] = L"%USERPROFILE%";
    constexpr size_t kLength = ARRAYSIZE(kUserProfile) - 1;
    std::wstring folder = value;
    if (value.size() >= kLength && _wcsnicmp(value.c_str(), kUserProfile, kLength) == 0) folder = profile + value.substr(kLength);
    return folder.find(L'%') == std::wstring::npos ? folder : std::wstring();
}

bool QuerySessionUserProfile(const std::wstring& user, std::wstring& profile, std::wstring& roaming)
{
    std::wstring domain;
    QuerySessionText(WTSDomainName, domain);
    const std::wstring sid = AccountSid(domain.empty() ? user : domain + L"\\" + user);
    if (sid.empty()) return false;
    wchar_t expanded[MAX_PATH] = {};
    const std::wstring image = RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid,
                                            L"ProfileImagePath");
    // The profile list's own variables (%SystemDrive%) are the machine's, the same for everyone.
    const DWORD length = image.empty() ? 0 : ::ExpandEnvironmentStringsW(image.c_str(), expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return false;
    profile = expanded;
    roaming = ExpandForProfile(
        RegistryText(HKEY_USERS, sid + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"AppData"),
        profile);
    return true;
}

bool QueryInServiceSession()
{
    DWORD session = 0;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Where the profile's own folder ends in path (the backslash after C:\Users\admin) when path
// lies in a profile below the profiles folder, and that folder lies directly below a drive;
// npos for any other path.
size_t ProfileEndIn(const std::wstring& path, const std::wstring& profiles)
{
    const bool directlyBelowDrive = profiles.size() > 3 && profiles[1] == L':' && profiles[2] == L'\\' &&
                                    profiles.find(L'\\', 3) == std::wstring::npos;
    if (!directlyBelowDrive || path.size() <= profiles.size() + 1 || path[profiles.size()] != L'\\') return std::wstring::npos;
    if (!SameText(path.substr(0, profiles.size()), profiles)) return std::wstring::npos;
    // A folder inside the profile, not the profile itself.
    const size_t profileEnd = path.find(L'\\', profiles.size() + 1);
    return profileEnd != std::wstring::npos && profileEnd > profiles.size() + 1 ? profileEnd : std::wstring::npos;
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ResolvedProfile Failed(std::wstring failure)
{
    ResolvedProfile resolved;
    resolved.failure = std::move(failure);
    return resolved;
}

// The session user's own profile in place of the one the reported folder lies in.
ResolvedProfile InSessionUsersProfile(const std::wstring& reported, size_t profileEnd, const std::wstring& sessionUser,
                                      const ProfileQueries& queries)
{
    std::wstring profile;
    std::wstring roaming;
    if (!queries.sessionUserProfile(sessionUser, profile, roaming)) {
        return Failed(framework::Format(L"the profile of the session user %ls is not in the system's profile list", sessionUser.c_str()));
    }
    if (!FolderExists(profile)) {
        const DWORD error = ::GetLastError();
        ResolvedProfile failed = Failed(framework::Format(L"the profile folder %ls of the session user %ls does not exist",
                                                          profile.c_str(), sessionUser.c_str()));
        ::SetLastError(error);
        return failed;
    }
    ResolvedProfile resolved;
    resolved.roaming = roaming.empty() ? profile + reported.substr(profileEnd) : roaming;
    return resolved;
}

}  // namespace

ProfileQueries SystemProfileQueries()
{
    return ProfileQueries{QueryProfilesFolder, QuerySessionUserRoamingFolder, QuerySessionUserProfile, QueryInServiceSession};
}

std::wstring UserShellFolder(int csidl, HANDLE userToken)
{
    wchar_t path[MAX_PATH] = {};
    const HRESULT result = ::SHGetFolderPathW(nullptr, csidl, userToken, SHGFP_TYPE_CURRENT, path);
    if (FAILED(result)) {
        ::SetLastError(HRESULT_CODE(result));
        return std::wstring();
    }
    if (!path[0]) ::SetLastError(ERROR_PATH_NOT_FOUND);
    return path;
}

ResolvedProfile ResolveRoamingFolder(const std::wstring& reported, const std::wstring& sessionUser,
                                     const std::wstring& processUser, const ProfileQueries& queries)
{
    ResolvedProfile resolved;
    if (sessionUser.empty() && queries.inServiceSession()) {
        return Failed(framework::Format(L"setup runs as %ls in session 0, where no user is logged on; this installer installs per "
                                        L"user, never into a service's profile",
                                        processUser.c_str()));
    }
    // An unknown session user cannot be told apart from the process's own account: the
    // system's folder is then the only one known to be a real profile.
    if (sessionUser.empty() || SameText(sessionUser, processUser)) {
        resolved.roaming = reported;
        return resolved;
    }
    const size_t profileEnd = ProfileEndIn(reported, queries.profilesFolder());
    if (profileEnd != std::wstring::npos) return InSessionUsersProfile(reported, profileEnd, sessionUser, queries);
    if (queries.sessionUserRoamingFolder(resolved.roaming, resolved.userToken)) return resolved;
    const DWORD error = ::GetLastError();
    resolved = Failed(framework::Format(L"setup runs as %ls, not as the session user %ls, and cannot ask for that user's own roaming folder",
                                        processUser.c_str(), sessionUser.c_str()));
    ::SetLastError(error);
    return resolved;
}
