// The application object: reads the command line once, builds the installer object and hands
// over to the silent installation or to the wizard.
#pragma once

#include <windows.h>

class CExcelToolInstallerApp {
public:
    // Silent mode never returns: the installation ends the process with its exit status.
    // Wizard mode returns FALSE once the dialog has closed.
    BOOL InitInstance();
};
