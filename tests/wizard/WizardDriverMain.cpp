// wizard_driver: a command-line front of WizardDriver for scripts (the screenshot script) that
// step a running wizard from page to page. Exit status 0 when the command did what it says.
//
//   wizard_driver wait-wizard       wait for the wizard window to appear
//   wizard_driver click <id>        press the wizard's button or check box <id>
//   wizard_driver wait-shown <id>   wait until the wizard's control <id> is shown
#include <windows.h>

#include <cwchar>
#include <string>

#include "tests/wizard/WizardDriver.h"

namespace {

constexpr DWORD kTimeoutMs = 120000;

int Run(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    const HWND wizard = wizard_driver::WaitForProcessWindow(0, wizard_driver::kWizardTitle, kTimeoutMs);
    if (!wizard) return 1;
    if (command == L"wait-wizard") return 0;
    if (argc < 3) return 2;
    const int id = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    if (command == L"click") {
        wizard_driver::Click(wizard, id);
        return 0;
    }
    if (command == L"wait-shown") {
        return wizard_driver::WaitFor([&] { return wizard_driver::IsShown(wizard, id); }, kTimeoutMs) ? 0 : 1;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    return Run(argc, argv);
}
