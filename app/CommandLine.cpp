#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

CommandLineOptions ParseCommandLine(int argc, const wchar_t* const* argv)
{
    CommandLineOptions options;
    if (!argv) return options;
    for (int i = 0; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"-silent") == 0) options.silent = true;
    }
    for (int i = 0; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"-inFrom") == 0) {
            if (i + 1 < argc) options.inFrom = argv[i + 1];
            break;
        }
    }
    return options;
}

CommandLineOptions ReadProcessCommandLine()
{
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const CommandLineOptions options = ParseCommandLine(count, argv);
    if (argv) ::LocalFree(argv);
    return options;
}
