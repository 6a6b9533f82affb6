// Which programs hold the files of the earlier installation, so that the user can be told what
// to close: Excel with the product's add-in loaded, the product itself, a program started from
// it. Windows' Restart Manager answers where it works; where it names nobody (it is a stub on
// some systems) the running processes are walked, and those whose program or loaded libraries
// lie in the install folder are named.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct HoldingProgram {
    DWORD processId = 0;
    // The program file's name ("EXCEL.EXE").
    std::wstring imageName;
    // What the user knows it by: the file description of its version resource ("Microsoft
    // Excel"), else the file name.
    std::wstring displayName;
};

// The programs holding any of files, which lie below folder. Each process once; this process
// never.
std::vector<HoldingProgram> ProgramsHoldingFiles(const std::vector<std::wstring>& files, const std::wstring& folder);

// The display names, joined as a Chinese list ("Microsoft Excel、记事本").
std::wstring JoinDisplayNames(const std::vector<HoldingProgram>& programs);
