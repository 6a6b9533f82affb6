#include "app/ExcelToolInstallerApp.h"

#include <cstdlib>

#include "app/CommandLine.h"
#include "installer/ExcelToolInstallerDlg.h"

BOOL CExcelToolInstallerApp::InitInstance()
{
    const CommandLineOptions options = ReadProcessCommandLine();
    if (options.silent) {
        // The installer object is left alive on purpose: exit runs the static destructors only.
        CExcelToolInstallerDlg installer(options.inFrom);
        std::exit(installer.RunSilent());
    }
    CExcelToolInstallerDlg wizard(options.inFrom);
    wizard.RunWizard();
    wizard.WaitForBackgroundInstall();
    return FALSE;
}
