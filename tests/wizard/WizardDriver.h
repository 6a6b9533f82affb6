// Driving a running setup.exe from another process as a user would: starting it, finding its
// windows, pressing buttons and reading the state of its controls. What the windows draw is
// not read across processes: the tests share one X display, so the screen may show another
// test's window at that place.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wizard_driver {

extern const wchar_t kWizardTitle[];
extern const wchar_t kMessageBoxTitle[];

// A program started without waiting for it; terminated if it still runs when the owner goes.
class Process {
public:
    Process(const std::wstring& exe, const std::wstring& arguments);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return m_info.hProcess != nullptr; }
    DWORD id() const { return m_info.dwProcessId; }
    // True with the exit status once the program has ended; false if it runs on after timeoutMs.
    bool WaitForExit(DWORD timeoutMs, DWORD& status) const;

private:
    PROCESS_INFORMATION m_info{};
};

// Checks condition every 50 ms until it holds (true) or timeoutMs has passed (false).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// A visible top-level window with this title, of the given process (0: of any process) and,
// when className is given, of that class; null when there is none.
HWND FindProcessWindow(DWORD processId, const wchar_t* title, const wchar_t* className = nullptr);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs);

// Controls of a dialog of another process, by id.
bool IsShown(HWND dialog, int id);  // visible and with an area
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// Presses a button and returns when the dialog has handled the click.
void Click(HWND dialog, int id);
// Presses a button without waiting, for buttons whose handler opens a modal box.
void PostClick(HWND dialog, int id);

// The keyboard as a user's keys arrive: a key press and release posted to the window that has
// the focus in the thread of window (to window itself when none has it).
void PressKey(HWND window, UINT key);
// The control of dialog that has the keyboard focus; its id, or 0 when no control has it.
int FocusedId(HWND dialog);
// Presses Tab and returns the id of the control that has the focus then; 0 when the focus
// did not move within a generous wait.
int PressTab(HWND dialog);

// An object of a window's accessible tree as a screen reader reads it.
struct AccessibleEntry {
    long role = 0;
    std::wstring name;
    std::wstring value;
};
// The children of the window's client object (OBJID_CLIENT), in their order; the calling thread
// has COM initialised.
std::vector<AccessibleEntry> ReadAccessibleTree(HWND window);

}  // namespace wizard_driver
