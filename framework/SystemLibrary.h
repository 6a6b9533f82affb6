// Loading system DLLs by their full path in the system folder, never by bare name: a DLL of the
// same name beside setup.exe (in a Downloads folder, say) must never be picked up instead.
#pragma once

#include <windows.h>

#include "framework/ScopedHandle.h"

namespace framework {

// Loads <system folder>\name; an empty module when it cannot be loaded.
Module LoadSystemLibrary(const wchar_t* name);

// A function the module exports, as a pointer of the caller's type; null when it is missing.
template <typename Function>
Function GetExport(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Restricts the DLL search of this process to the system folder: later loads by bare name (also
// the ones that system DLLs make themselves) no longer look in the program's folder or the
// current folder. Called first thing at start-up.
void RestrictDllSearchToSystemFolder();

}  // namespace framework
