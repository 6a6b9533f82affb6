#include "tests/wizard/WizardDriver.h"


namespace wizard_driver {

const wchar_t kWizardTitle[] = L"绘途-安装向导";
const wchar_t kMessageBoxTitle[] = L"提示";

Process::Process(const std::wstring& exe, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info)) {
        m_info = PROCESS_INFORMATION{};
    }
}

Process::~Process()
{
    if (!started()) return;
    if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_info.hProcess, 0xDEADBEEF);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD& status) const
{
    if (!started() || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    return ::GetExitCodeProcess(m_info.hProcess, &status) != FALSE;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
}

HWND FindProcessWindow(DWORD processId, const wchar_t* title, const wchar_t* className)
{
    for (HWND window = ::FindWindowExW(nullptr, nullptr, className, title); window;
         window = ::FindWindowExW(nullptr, window, className, title)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindProcessWindow(processId, title)) != nullptr; }, timeoutMs);
    return found;
}

bool IsShown(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    RECT rect{};
    return control && ::IsWindowVisible(control) && ::GetWindowRect(control, &rect) && !::IsRectEmpty(&rect);
}

bool IsEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

bool IsChecked(HWND dialog, int id)
{
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id)
{
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id)
{
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

}  // namespace wizard_driver
