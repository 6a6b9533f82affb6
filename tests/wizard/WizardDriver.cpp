#include "tests/wizard/WizardDriver.h"

#include <oleacc.h>

#include "framework/ScopedHandle.h"

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

namespace {

constexpr DWORD kKeyTimeoutMs = 10000;

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring Text(IAccessible& object, const VARIANT& child, bool name)
{
    BSTR text = nullptr;
    const HRESULT hr = name ? object.get_accName(child, &text) : object.get_accValue(child, &text);
    std::wstring result = SUCCEEDED(hr) && text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return result;
}

AccessibleEntry Entry(IAccessible& object, const VARIANT& child)
{
    AccessibleEntry entry;
    VARIANT role{};
    if (SUCCEEDED(object.get_accRole(child, &role)) && role.vt == VT_I4) entry.role = role.lVal;
    ::VariantClear(&role);
    entry.name = Text(object, child, true);
    entry.value = Text(object, child, false);
    return entry;
}

}  // namespace

void PressKey(HWND window, UINT key)
{
    const HWND focus = FocusOf(window);
    const HWND target = focus ? focus : window;
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    ::PostMessageW(target, WM_KEYUP, key, scan | 1 | static_cast<LPARAM>(0xC0000000));
}

int FocusedId(HWND dialog)
{
    const HWND focus = FocusOf(dialog);
    return focus && ::IsChild(dialog, focus) ? ::GetDlgCtrlID(focus) : 0;
}

int PressTab(HWND dialog)
{
    const HWND before = FocusOf(dialog);
    PressKey(dialog, VK_TAB);
    if (!WaitFor([&] { return FocusOf(dialog) != before; }, kKeyTimeoutMs)) return 0;
    return FocusedId(dialog);
}

std::vector<AccessibleEntry> ReadAccessibleTree(HWND window)
{
    std::vector<AccessibleEntry> entries;
    framework::ComPtr<IAccessible> client;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, client.receive()))) {
        return entries;
    }
    LONG count = 0;
    if (FAILED(client->get_accChildCount(&count)) || count <= 0) return entries;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    LONG obtained = 0;
    if (FAILED(::AccessibleChildren(client.get(), 0, count, children.data(), &obtained))) return entries;
    for (LONG i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_I4) {
            entries.push_back(Entry(*client.get(), child));
        } else if (child.vt == VT_DISPATCH && child.pdispVal) {
            framework::ComPtr<IAccessible> object;
            if (SUCCEEDED(child.pdispVal->QueryInterface(IID_IAccessible, object.receive()))) {
                VARIANT self{};
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                entries.push_back(Entry(*object.get(), self));
            }
        }
        ::VariantClear(&child);
    }
    return entries;
}

}  // namespace wizard_driver
