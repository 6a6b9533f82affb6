#include "installer/steps/RunProgram.h"

#include <shellapi.h>

#include "framework/ScopedHandle.h"
#include "framework/Text.h"

namespace {

struct ShellStart {
    bool started = false;
    // Empty when the shell handed the start to a running process.
    framework::KernelHandle process;
};

ShellStart StartThroughShell(const std::wstring& path, const wchar_t* verb, const wchar_t* parameters, int show,
                             ULONG extraMask = 0)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box from the shell; the start is complete when the call returns, as the
    // installer may end right after it.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | SEE_MASK_NO_CONSOLE | extraMask;
    info.lpVerb = verb;
    info.lpFile = path.c_str();
    info.lpParameters = parameters;
    info.nShow = show;
    ShellStart start;
    start.started = ::ShellExecuteExW(&info) != FALSE;
    if (start.started) {
        start.process.reset(info.hProcess);
    } else {
        const DWORD error = ::GetLastError();
        ::OutputDebugStringW(framework::Format(L"启动程序失败（错误 %lu），路径：%ls\n", error, path.c_str()).c_str());
        ::SetLastError(error);  // for the caller's own report
    }
    return start;
}

}  // namespace

bool RunProgram(const std::wstring& path, bool wait, DWORD timeoutMs)
{
    const ShellStart start = StartThroughShell(path, nullptr, nullptr, SW_SHOW);
    if (wait && start.process) ::WaitForSingleObject(start.process.get(), timeoutMs);
    return start.started;
}

bool RunHiddenAndWait(const std::wstring& path, const wchar_t* parameters)
{
    // The program comes out of the installer's own payload, possibly unpacked onto a server's
    // share: a zone check would ask a person whether to run it, and nobody may be there.
    const ShellStart start = StartThroughShell(path, L"open", parameters, SW_HIDE, SEE_MASK_NOZONECHECKS);
    if (start.process) ::WaitForSingleObject(start.process.get(), INFINITE);
    return start.started;
}

bool StartProduct(const std::wstring& path)
{
    // A child inherits the error mode of the process that starts it; the installer's own mode
    // is set back as soon as the product has been created.
    const UINT installerMode = ::SetErrorMode(0);
    const bool started = StartThroughShell(path, nullptr, nullptr, SW_SHOW).started;
    ::SetErrorMode(installerMode);
    return started;
}
