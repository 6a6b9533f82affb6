#include "framework/SystemLibrary.h"

#include <string>

namespace framework {

Module LoadSystemLibrary(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Module();
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    // The altered search path makes the DLL's own dependencies resolve from the system folder too.
    return Module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void RestrictDllSearchToSystemFolder()
{
    // SetDefaultDllDirectories exists from Windows 7 with KB2533623 on; look it up so that the
    // program still starts where it is missing, and fall back to taking the program's folder
    // and the current folder out of the search.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

}  // namespace framework
