// Starting a program by its full path through the shell and, if asked, waiting for it.
#pragma once

#include <windows.h>

#include <string>

// Starts path with the default verb, shown normally, no shell error messages. True when it was
// started; a failure is written to the debugger output.
bool RunProgram(const std::wstring& path, bool wait, DWORD timeoutMs);

// Starts path with the verb "open", hidden, with the given parameters, and waits for it to end
// without a time limit. False when it could not be started.
bool RunHiddenAndWait(const std::wstring& path, const wchar_t* parameters);
