#include "installer/upgrade/FileHolders.h"

#include <restartmanager.h>
#include <tlhelp32.h>

#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"

namespace {

using RmStartSessionFn = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RmRegisterResourcesFn = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using RmGetListFn = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);
using RmEndSessionFn = DWORD(WINAPI*)(DWORD);

using GetFileVersionInfoSizeWFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoWFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueWFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// The FileDescription of a program's version resource, in the resource's first language.
std::wstring FileDescriptionOf(const std::wstring& path)
{
    const framework::Module version = framework::LoadSystemLibrary(L"version.dll");
    const auto getSize = framework::GetExport<GetFileVersionInfoSizeWFn>(version.get(), "GetFileVersionInfoSizeW");
    const auto getInfo = framework::GetExport<GetFileVersionInfoWFn>(version.get(), "GetFileVersionInfoW");
    const auto query = framework::GetExport<VerQueryValueWFn>(version.get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query) return std::wstring();
    DWORD handle = 0;
    const DWORD size = getSize(path.c_str(), &handle);
    if (size == 0) return std::wstring();
    std::vector<BYTE> data(size);
    if (!getInfo(path.c_str(), 0, size, data.data())) return std::wstring();
    const WORD* translation = nullptr;
    UINT length = 0;
    if (!query(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(const_cast<WORD**>(&translation)),
               &length) ||
        length < 2 * sizeof(WORD)) {
        return std::wstring();
    }
    const std::wstring key =
        framework::Format(L"\\StringFileInfo\\%04x%04x\\FileDescription", translation[0], translation[1]);
    const wchar_t* description = nullptr;
    if (!query(data.data(), key.c_str(), reinterpret_cast<void**>(const_cast<wchar_t**>(&description)), &length) ||
        length == 0) {
        return std::wstring();
    }
    std::wstring text(description);
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

std::wstring ImagePathOf(DWORD processId)
{
    const framework::KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 4] = {};
    DWORD length = ARRAYSIZE(path);
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path, &length)) return std::wstring();
    return path;
}

HoldingProgram Describe(DWORD processId, std::wstring imagePath, const std::wstring& knownName)
{
    if (imagePath.empty()) imagePath = ImagePathOf(processId);
    HoldingProgram program;
    program.processId = processId;
    program.imageName = FileNameOf(imagePath);
    program.displayName = !knownName.empty() ? knownName : FileDescriptionOf(imagePath);
    if (program.displayName.empty()) program.displayName = program.imageName;
    return program;
}

class RestartManagerSession {
public:
    RestartManagerSession() : m_library(framework::LoadSystemLibrary(L"rstrtmgr.dll"))
    {
        const auto start = framework::GetExport<RmStartSessionFn>(m_library.get(), "RmStartSession");
        m_end = framework::GetExport<RmEndSessionFn>(m_library.get(), "RmEndSession");
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        m_open = start && m_end && start(&m_session, 0, key) == ERROR_SUCCESS;
    }
    ~RestartManagerSession()
    {
        if (m_open) m_end(m_session);
    }
    RestartManagerSession(const RestartManagerSession&) = delete;
    RestartManagerSession& operator=(const RestartManagerSession&) = delete;

    std::vector<HoldingProgram> Holders(const std::vector<std::wstring>& files) const
    {
        std::vector<HoldingProgram> programs;
        const auto registerFiles = framework::GetExport<RmRegisterResourcesFn>(m_library.get(), "RmRegisterResources");
        const auto getList = framework::GetExport<RmGetListFn>(m_library.get(), "RmGetList");
        if (!m_open || !registerFiles || !getList || files.empty()) return programs;
        std::vector<LPCWSTR> names;
        for (const std::wstring& file : files) names.push_back(file.c_str());
        if (registerFiles(m_session, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr) != ERROR_SUCCESS) {
            return programs;
        }
        // The list may grow between the two calls.
        std::vector<RM_PROCESS_INFO> found;
        DWORD reasons = 0;
        UINT needed = 0, count = 0;
        DWORD result = getList(m_session, &needed, &count, nullptr, &reasons);
        for (int attempt = 0; result == ERROR_MORE_DATA && attempt < 3; ++attempt) {
            found.resize(needed);
            count = needed;
            result = getList(m_session, &needed, &count, found.data(), &reasons);
        }
        if (result != ERROR_SUCCESS) return programs;
        for (UINT i = 0; i < count && i < found.size(); ++i) {
            programs.push_back(Describe(found[i].Process.dwProcessId, std::wstring(), found[i].strAppName));
        }
        return programs;
    }

private:
    framework::Module m_library;
    RmEndSessionFn m_end = nullptr;
    DWORD m_session = 0;
    bool m_open = false;
};

// The program file of a process whose program or a loaded library lies below folder; empty
// when none does (or its modules cannot be read).
std::wstring ModuleBelow(DWORD processId, const std::wstring& folder)
{
    const framework::KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (!snapshot) return std::wstring();
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    std::wstring image;
    for (BOOL more = ::Module32FirstW(snapshot.get(), &module); more; more = ::Module32NextW(snapshot.get(), &module)) {
        if (image.empty()) image = module.szExePath;  // the first module is the program itself
        if (StartsWithNoCase(module.szExePath, folder)) return image;
    }
    return std::wstring();
}

std::vector<HoldingProgram> ProcessesUsingFolder(const std::wstring& folder)
{
    std::vector<HoldingProgram> programs;
    const framework::KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return programs;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof(process);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &process); more; more = ::Process32NextW(snapshot.get(), &process)) {
        if (process.th32ProcessID == 0) continue;
        const std::wstring image = ModuleBelow(process.th32ProcessID, folder);
        if (!image.empty()) programs.push_back(Describe(process.th32ProcessID, image, std::wstring()));
    }
    return programs;
}

}  // namespace

std::vector<HoldingProgram> ProgramsHoldingFiles(const std::vector<std::wstring>& files, const std::wstring& folder)
{
    std::vector<HoldingProgram> programs = RestartManagerSession().Holders(files);
    if (programs.empty()) programs = ProcessesUsingFolder(folder + L"\\");
    const DWORD self = ::GetCurrentProcessId();
    std::vector<HoldingProgram> others;
    for (HoldingProgram& program : programs) {
        bool seen = program.processId == self;
        for (const HoldingProgram& other : others) seen = seen || other.processId == program.processId;
        if (!seen) others.push_back(std::move(program));
    }
    return others;
}

std::wstring JoinDisplayNames(const std::vector<HoldingProgram>& programs)
{
    std::vector<std::wstring> names;
    std::wstring joined;
    for (const HoldingProgram& program : programs) {
        // Two windows of one program are one program to close.
        bool seen = false;
        for (const std::wstring& name : names) seen = seen || name == program.displayName;
        if (seen) continue;
        names.push_back(program.displayName);
        if (!joined.empty()) joined += L"、";
        joined += program.displayName;
    }
    return joined;
}
