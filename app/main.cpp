// Entry point of setup.exe.
#include <windows.h>

#include "app/ExcelToolInstallerApp.h"
#include "framework/SystemLibrary.h"

namespace {
CExcelToolInstallerApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Before anything else can load a DLL by bare name.
    framework::RestrictDllSearchToSystemFolder();
    theApp.InitInstance();
    return 0;
}
