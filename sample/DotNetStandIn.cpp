// Stand-in for the .NET Framework 2.0 redistributable: registers the framework's setup key, as
// the real redistributable does when it has installed the framework, and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const DWORD installed = 1;
    const LONG result = RegSetValueExW(key, L"Install", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed), sizeof(installed));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 2;
}
