// The install log asked for with "-log <file>": what one run of setup.exe did, for the
// administrator of an unattended deployment who otherwise sees only the exit status. Plain text
// in UTF-8 with a byte-order mark (so that Notepad shows the Chinese names), one line per step
// with its local time, and for a failure its reason, the path concerned and the Windows error
// code; the last line gives the exit status, on every way out of the program. Control
// characters in what is logged (a CR or LF in the command line or in an entry name) are written
// escaped (\r, \n, \xNN), so that no text can start a line of its own.
//
// The log only ever reports: a log that cannot be created or written changes nothing else, and
// without "-log" every call does nothing. One log per process; the steps on the install worker
// and the start-up on the main thread write to it in turn, each line whole.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScopedHandle.h"

class InstallLog {
public:
    static InstallLog& Instance();

    // Creates the file anew and writes the heading: setup.exe's version and the command line.
    // False, and nothing logged, when the file cannot be created.
    bool Open(const std::wstring& path);
    bool IsOpen() const { return m_file.valid(); }

    // A line of the heading, without a time ("install folder: ...").
    void Note(const std::wstring& text);
    // "<time>  <step>: <outcome>".
    void Step(const std::wstring& step, const std::wstring& outcome);
    // "<time>  FAILED <step>: <reason>; path <path>; Windows error <code> (<system text>)". An
    // error of 0 is left out; so is an empty path.
    void Failure(const std::wstring& step, const std::wstring& reason, const std::wstring& path, DWORD error);
    // The status the program ends with if it ends now; "<time>  exit status <status>" is the last
    // line, written when the process exits (also by exit() from deep inside the wizard).
    void SetExitStatus(int status) { m_exitStatus = status; }

    InstallLog() = default;
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;

private:
    void WriteLine(const std::wstring& line);
    static void WriteExitStatus();

    framework::KernelHandle m_file;
    SRWLOCK m_lock = SRWLOCK_INIT;
    int m_exitStatus = 0;
};
