#include "installer/steps/InstallRecorder.h"

#include <windows.h>

#include "archive/FileUtils.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"

namespace {

using SetClientInfoFn = void(__cdecl*)(const char*, const char*);
using RecordInstallActFn = void(__cdecl*)(const char*);

// A drive-letter path, or a folder on a share (an install folder below a redirected AppData).
bool IsFullPath(const std::string& path)
{
    return (path.size() > 2 && path[1] == ':' && path[2] == '\\') || IsSharePath(framework::AnsiToWide(path).str());
}

// The library's own folder is searched for its dependencies, then the system folder; never the
// folder setup.exe was started from.
HMODULE LoadByFullPath(const std::string& path)
{
    HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems without the search flags.
        module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

}  // namespace

namespace {
// Made at start-up rather than on first use: there is nothing to decide at construction, and a
// function-local static would bring the runtime's thread-safe initialisation guard along.
InstallRecorder g_recorder;
}  // namespace

InstallRecorder& InstallRecorder::Instance()
{
    return g_recorder;
}

bool InstallRecorder::Load(const std::string& libraryId, const std::string& version, const std::string& libraryPath)
{
    m_strLibraryPath = libraryPath;
    if (!IsFullPath(m_strLibraryPath)) return false;
    m_hModule.reset(LoadByFullPath(m_strLibraryPath));
    if (!m_hModule) return false;
    if (const auto setClientInfo = framework::GetExport<SetClientInfoFn>(m_hModule.get(), "SetClientInfo")) {
        setClientInfo(libraryId.c_str(), version.c_str());
    }
    return !libraryId.empty();
}

void InstallRecorder::RecordInstall(const std::string& origin)
{
    if (!m_hModule) return;
    if (const auto recordInstallAct = framework::GetExport<RecordInstallActFn>(m_hModule.get(), "RecordInstallAct")) {
        recordInstallAct(origin.c_str());
    }
}

void InstallRecorder::Unload()
{
    m_hModule.reset();
}
