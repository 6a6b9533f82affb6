// The command line of setup.exe: "-silent" selects the windowless installation, "-inFrom"
// takes the next argument, whatever it is, as the origin tag, and "-log" the next argument as
// the install log's path. Each argument is compared whole and without regard to ASCII case; the
// first "-inFrom" and the first "-log" count; anything else is ignored.
#pragma once

#include <string>

struct CommandLineOptions {
    bool silent = false;
    std::wstring inFrom;
    // Empty: no install log.
    std::wstring logPath;
};

// argv includes the program's own path as its first element, as CommandLineToArgvW gives it;
// a null argv (the split failed) gives the defaults.
CommandLineOptions ParseCommandLine(int argc, const wchar_t* const* argv);

// Splits the process's own command line.
CommandLineOptions ReadProcessCommandLine();
