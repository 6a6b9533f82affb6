// Runs the installer's message box for real: ShowMyMsgDlg on the calling thread, while a driver
// thread waits for the box to be on screen and drawn, then acts on it (reads it, presses a
// button, sends a key) the way another program would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace controls_test {

struct DrivenBox {
    int result = 0;        // what ShowMyMsgDlg returned
    bool appeared = false; // a visible box came up
    bool found = false;    // ... and drew itself, so the action ran
    bool ended = false;    // the action ended it; otherwise the driver ended it and result is -1
};

// act runs on the driver thread with the box's window; it must not use GoogleTest assertions.
DrivenBox DriveMessageBox(int mode, const std::wstring& text, int errorCode, HWND parent,
                          const std::function<void(HWND box)>& act);

// The box of this process, once it is visible and has drawn itself (its window region is set
// at its first paint); null when none came up within a generous wait. appeared tells whether a
// visible box was seen at all.
HWND WaitForMessageBox(bool* appeared = nullptr);

// Posts a key press and release to the window that has the keyboard focus in the box's thread.
void PressKey(HWND box, UINT key);

// A control of the box, its rectangle in the box's client coordinates and its text.
RECT ChildRect(HWND box, int id);
std::wstring ChildText(HWND box, int id);

}  // namespace controls_test
