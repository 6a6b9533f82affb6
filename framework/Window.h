// The small window layer the installer is built on: a child-control handle with the few
// operations the dialogs use, a subclassed button that routes its messages to a C++ object,
// and a modal dialog base with message routing. Nothing here is specific to the installer.
#pragma once

#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Accessible.h"

namespace framework {

// A borrowed handle of a child control (check box, static, edit), with typed helpers.
class Control {
public:
    Control() = default;
    explicit Control(HWND hwnd) : m_hwnd(hwnd) {}

    HWND GetSafeHwnd() const { return m_hwnd; }
    void Attach(HWND hwnd) { m_hwnd = hwnd; }

    void Show(bool visible) const { ::ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE); }
    void EnableWindow(bool enabled) const { ::EnableWindow(m_hwnd, enabled ? TRUE : FALSE); }
    void MoveWindow(const RECT& rect, bool repaint = true) const;
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hwnd, text.c_str()); }
    std::wstring GetWindowText() const;
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hwnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int state) const { ::SendMessageW(m_hwnd, BM_SETCHECK, static_cast<WPARAM>(state), 0); }
    // The control's window rectangle in the client coordinates of its parent.
    RECT GetRectInParent() const;

protected:
    HWND m_hwnd = nullptr;
};

// A push button created by the program and subclassed, so that a derived class can handle its
// messages (OnMessage) and draw it (DrawItem, reflected from the parent's WM_DRAWITEM).
class Button : public Control {
public:
    Button() = default;
    virtual ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id);

    // The Button object behind a window handle, or null when the window is not one of ours.
    static Button* FromHandle(HWND hwnd);

    virtual void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    // Handles a message of the button; returns true and sets result when it did.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The standard button's own handling of a message.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_baseProc = nullptr;
};

// Puts child windows in this order, which is the order in which Tab visits them; null ones are
// left out.
void SetTabOrder(std::initializer_list<HWND> windows);

// Shows the keyboard cues (focus rectangles) in dialog and its controls, as the dialog manager
// of Windows does at the first key that moves the focus: the user works with the keyboard now.
void ShowKeyboardCues(HWND dialog);

// A modal dialog built on a dialog template of the program's own module. A dialog that paints
// texts of its own lists them (PaintedParts), and screen readers find them in its accessible
// object (framework/Accessible.h); the focused owner-drawn push button is the one Enter presses.
class Dialog : private PaintedPartsSource {
public:
    Dialog(UINT templateId, HWND parent);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog; returns the end code, or -1 when the window could not be created.
    INT_PTR DoModal();
    // Null before the window exists and once it is gone. Other threads of the program may ask
    // too: each call reads the handle once, so a caller that keeps the answer acts on one window
    // or, when null, on none.
    HWND GetSafeHwnd() const { return m_hwnd.load(std::memory_order_acquire); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(GetSafeHwnd(), id); }
    void EndDialog(int code) const { ::EndDialog(GetSafeHwnd(), code); }
    RECT GetClientRect() const;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A WM_COMMAND; returns true when handled. The base maps IDOK and IDCANCEL.
    virtual bool OnCommand(int id, int notifyCode);
    // Any other message; returns true and sets result when handled. For WM_CTLCOLOR* messages
    // the result is the brush.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The texts and other parts the dialog paints itself, as they are now; none by default.
    std::vector<PaintedPart> PaintedParts() const override { return {}; }
    // A dialog named by its title.
    PaintedPart Whole() const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam);
    // Answers of the dialog manager's own messages; false when the default answer stands.
    bool OnDialogManagerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    UINT m_templateId;
    HWND m_parent;
    // Written by the thread that runs the dialog, read by any.
    std::atomic<HWND> m_hwnd{nullptr};
    AccessibleClient m_accessible;
};

}  // namespace framework
