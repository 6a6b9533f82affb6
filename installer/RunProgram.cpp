#include "installer/RunProgram.h"

#include <shellapi.h>

#include "framework/ScopedHandle.h"

namespace {

struct ShellStart {
    bool started = false;
    // Empty when the shell handed the start to a running process.
    framework::KernelHandle process;
};

ShellStart StartThroughShell(const std::wstring& path, const wchar_t* verb, const wchar_t* parameters, int show, ULONG mask)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = mask | SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb;
    info.lpFile = path.c_str();
    info.lpParameters = parameters;
    info.nShow = show;
    ShellStart start;
    start.started = ::ShellExecuteExW(&info) != FALSE;
    if (start.started) start.process.reset(info.hProcess);
    return start;
}

}  // namespace

bool RunProgram(const std::wstring& path, bool wait, DWORD timeoutMs)
{
    const ShellStart start = StartThroughShell(path, nullptr, nullptr, SW_SHOW, SEE_MASK_FLAG_NO_UI | SEE_MASK_NO_CONSOLE);
    if (!start.started) {
        ::OutputDebugStringW(L"启动程序失败，路径：");
        ::OutputDebugStringW(path.c_str());
        return false;
    }
    if (wait && start.process) ::WaitForSingleObject(start.process.get(), timeoutMs);
    return true;
}

bool RunHiddenAndWait(const std::wstring& path, const wchar_t* parameters)
{
    const ShellStart start = StartThroughShell(path, L"open", parameters, SW_HIDE, 0);
    if (start.process) ::WaitForSingleObject(start.process.get(), INFINITE);
    return start.started;
}
