#include "tests/controls/MessageBoxDriver.h"

#include <thread>
#include <vector>

#include "controls/MyMsgDlg.h"

namespace controls_test {

namespace {

// Long enough for a slow machine, short enough that a box that never comes up fails the test
// instead of hanging it.
constexpr DWORD kWaitMs = 20000;
constexpr DWORD kPollMs = 20;
// An end code the box itself never gives: ShowMyMsgDlg reports it as -1.
constexpr INT_PTR kEndedByDriver = 77;

bool IsVisibleBoxOfThisProcess(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId() && ::IsWindowVisible(window);
}

bool HasDrawn(HWND box)
{
    const framework::Region probe(::CreateRectRgn(0, 0, 0, 0));
    return ::GetWindowRgn(box, probe.get()) != ERROR;
}

bool WaitUntilGone(HWND box)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        if (!::IsWindow(box) || !::IsWindowVisible(box)) return true;
        ::Sleep(kPollMs);
    }
    return false;
}

}  // namespace

HWND WaitForMessageBox(bool* appeared)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        const HWND box = ::FindWindowW(L"#32770", L"提示");
        if (box && IsVisibleBoxOfThisProcess(box)) {
            if (appeared) *appeared = true;
            if (HasDrawn(box)) return box;
        }
        ::Sleep(kPollMs);
    }
    return nullptr;
}

DrivenBox DriveMessageBox(int mode, const std::wstring& text, int errorCode, HWND parent,
                          const std::function<void(HWND box)>& act)
{
    DrivenBox outcome;
    std::thread driver([&outcome, &act] {
        const HWND box = WaitForMessageBox(&outcome.appeared);
        if (!box) return;
        outcome.found = true;
        act(box);
        outcome.ended = WaitUntilGone(box);
        if (!outcome.ended) ::EndDialog(box, kEndedByDriver);
    });
    outcome.result = ShowMyMsgDlg(mode, text, errorCode, parent);
    driver.join();
    return outcome;
}

void PressKey(HWND box, UINT key)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &info);
    const HWND target = info.hwndFocus ? info.hwndFocus : box;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

RECT ChildRect(HWND box, int id)
{
    RECT rect{};
    const HWND child = ::GetDlgItem(box, id);
    if (!child) return rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ChildText(HWND box, int id)
{
    wchar_t text[64] = {};
    ::GetWindowTextW(::GetDlgItem(box, id), text, 64);
    return text;
}

}  // namespace controls_test
