// The product's recording library (client\<version>\Lib\Brenvik.dll): told the client's identity
// and the origin of the installation. One process-wide instance. The installer relies on nothing
// the library returns; a library that does not load or lacks an export is skipped in silence.
//
// The library's exports are cdecl C functions:
//   void SetClientInfo(const char* libraryId, const char* clientVersion);
//   void RecordInstallAct(const char* origin);
#pragma once

#include <string>

#include "framework/ScopedHandle.h"

class InstallRecorder {
public:
    static InstallRecorder& Instance();

    // Loads the library from its full path and passes it the library id and version. A library
    // is only ever loaded by full path: an empty or relative path loads nothing. True when the
    // library id is not empty and the library was loaded.
    bool Load(const std::string& libraryId, const std::string& version, const std::wstring& libraryPath);
    void RecordInstall(const std::string& origin);
    void Unload();

    bool IsLoaded() const { return m_hModule.valid(); }

    // Use Instance(): there is one recorder per process.
    InstallRecorder() = default;
    InstallRecorder(const InstallRecorder&) = delete;
    InstallRecorder& operator=(const InstallRecorder&) = delete;

private:
    framework::Module m_hModule;
    std::wstring m_strLibraryPath;
};
