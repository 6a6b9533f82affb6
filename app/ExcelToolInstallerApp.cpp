#include "app/ExcelToolInstallerApp.h"

#include <cstdlib>

#include "app/CommandLine.h"
#include "installer/ExcelToolInstallerDlg.h"
#include "installer/InstallLog.h"

BOOL CExcelToolInstallerApp::InitInstance()
{
    const CommandLineOptions options = ReadProcessCommandLine();
    // Before the installer object exists: its constructor logs the install folder it fixes.
    if (!options.logPath.empty()) InstallLog::Instance().Open(options.logPath);
    if (options.silent) {
        // The installer object is left alive on purpose: exit runs the static destructors only.
        CExcelToolInstallerDlg installer(options.inFrom);
        const int status = installer.RunSilent();
        InstallLog::Instance().SetExitStatus(status);
        std::exit(status);
    }
    // wWinMain returns 0 after the wizard, whatever it did, and so do the wizard's own exits
    // (another setup already running, an agreement that cannot be loaded).
    InstallLog::Instance().SetExitStatus(0);
    CExcelToolInstallerDlg wizard(options.inFrom);
    wizard.RunWizard();
    wizard.WaitForBackgroundInstall();
    return FALSE;
}
