// One installation at a time per install folder. Deployment tools and logon scripts start a
// second setup.exe while a first is still running, and a wizard may be started beside a silent
// run; two runs in one install folder would delete each other's staging folders. The lock is a
// named mutex in the Global namespace, so that runs under other accounts and in other sessions
// (an administrator's deployment beside the user's own wizard) see it too; its name comes from
// the install folder compared without case, as Windows compares paths.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScopedHandle.h"

class RunLock {
public:
    // How long a run waits for another one on the same install folder: longer than an
    // installation of the product takes, short enough that a deployment never hangs.
    static constexpr DWORD kDefaultWaitMs = 5 * 60 * 1000;

    // Waits up to waitMs for the install folder's lock. A run that ended without letting go
    // (killed, crashed) hands the lock on: what it left is settled by the recovery.
    RunLock(const std::wstring& installFolder, DWORD waitMs = kDefaultWaitMs);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    bool Held() const { return m_held; }
    // The Windows error when the lock is not held (WAIT_TIMEOUT when another run kept it).
    DWORD Error() const { return m_error; }

    // "Global\<prefix><hash of the upper-cased folder>".
    static std::wstring MutexName(const std::wstring& installFolder);

private:
    framework::KernelHandle m_mutex;
    bool m_held = false;
    DWORD m_error = ERROR_SUCCESS;
};
