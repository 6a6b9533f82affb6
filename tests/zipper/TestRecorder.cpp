// A recording library of the tests' own, delivered in a test product as
// client\<version>\Lib\Brenvik.dll. It is no part of setup.exe and is linked only against
// setup.exe's import library: told of an installation, it archives the product's samples folder
// through the wide zip_folder that setup.exe exports, and notes the result in records\.
#include <windows.h>

#include <string>

#include "archive/ZipExports.h"
#include "framework/ScopedHandle.h"

namespace {

HMODULE g_module = nullptr;
std::string g_version = "(none)";

// The install folder, with its trailing backslash: four levels above
// client\<version>\Lib\Brenvik.dll.
std::wstring InstallFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    for (int level = 0; level < 4; ++level) folder.erase(folder.find_last_of(L'\\'));
    return folder + L"\\";
}

void WriteNote(const std::wstring& path, const std::string& text)
{
    framework::KernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl SetClientInfo(const char* libraryId, const char* version)
{
    g_version = version ? version : "(null)";
}

extern "C" __declspec(dllexport) void __cdecl RecordInstallAct(const char* origin)
{
    const std::wstring install = InstallFolder();
    const bool zipped = zip_folder((install + L"samples").c_str(), false, (install + L"records\\install-samples.zip").c_str());
    WriteNote(install + L"records\\zip-result.txt", "client=" + g_version + " zip_folder=" + (zipped ? "1" : "0"));
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
