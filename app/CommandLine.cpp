#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

// The argument after the first occurrence of option, whatever it is; empty when the option is
// missing or last.
std::wstring ValueOf(const wchar_t* option, int argc, const wchar_t* const* argv)
{
    for (int i = 0; i < argc; ++i) {
        if (_wcsicmp(argv[i], option) == 0) return i + 1 < argc ? argv[i + 1] : L"";
    }
    return std::wstring();
}

}  // namespace

CommandLineOptions ParseCommandLine(int argc, const wchar_t* const* argv)
{
    CommandLineOptions options;
    if (!argv) return options;
    for (int i = 0; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"-silent") == 0) options.silent = true;
    }
    options.inFrom = ValueOf(L"-inFrom", argc, argv);
    options.logPath = ValueOf(L"-log", argc, argv);
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
