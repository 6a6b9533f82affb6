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
    // No system error box may stop an unattended installation, neither for setup.exe nor for
    // the programs it starts, which inherit this mode (a crashing client setup ends, it does
    // not wait for someone to close a crash report).
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    theApp.InitInstance();
    return 0;
}
