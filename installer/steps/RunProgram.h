// Starting a program by its full path through the shell and, if asked, waiting for it. The shell
// never shows a box of its own for a program it cannot start (damaged, blocked, not a program
// at all): an unattended installation must not wait for a person. Failures go to the debugger
// output instead.
#pragma once

#include <windows.h>

#include <string>

// Starts path with the default verb, shown normally, and waits up to timeoutMs when asked. True
// when it was started.
bool RunProgram(const std::wstring& path, bool wait, DWORD timeoutMs);

// Starts path with the verb "open", hidden, with the given parameters, and waits for it to end
// without a time limit. False when it could not be started.
bool RunHiddenAndWait(const std::wstring& path, const wchar_t* parameters);

// Starts the installed product for the user, shown normally and not waited for. The product gets
// the system's default error mode, not the installer's: its own crashes and critical errors are
// to reach the user and Windows Error Reporting.
bool StartProduct(const std::wstring& path);
