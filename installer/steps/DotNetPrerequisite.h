// The .NET Framework 2.0 test: the framework's setup key in the registry.
#pragma once

#include <windows.h>

// Reads a registry value into data (at most size bytes); true when the key opened and the value
// was read. The value's actual type and length are not reported back.
bool ReadRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, DWORD type, void* data, DWORD size);

// True when Software\Microsoft\NET Framework Setup\NDP\v2.0.50727 has "Install" = 1.
bool IsDotNet20Installed();
