#include "framework/Window.h"

#include <vector>

#include "framework/ScopedHandle.h"

namespace framework {

void Control::MoveWindow(const RECT& rect, bool repaint) const
{
    ::MoveWindow(m_hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint ? TRUE : FALSE);
}

std::wstring Control::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(m_hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

RECT Control::GetRectInParent() const
{
    RECT rect{};
    ::GetWindowRect(m_hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Button::~Button()
{
    if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
}

bool Button::Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id)
{
    m_hwnd = ::CreateWindowExW(0, L"BUTTON", caption ? caption : L"", style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd) return false;
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_baseProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Button::SubclassProc)));
    return true;
}

Button* Button::FromHandle(HWND hwnd)
{
    if (!hwnd || reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Button::SubclassProc) return nullptr;
    return reinterpret_cast<Button*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Button::DrawItem(const DRAWITEMSTRUCT&) {}

bool Button::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT Button::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_baseProc, m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Button::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Button* self = reinterpret_cast<Button*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // The window goes before the object: give the standard procedure back and forget it.
        const WNDPROC base = self->m_baseProc;
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        return ::CallWindowProcW(base, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnMessage(message, wParam, lParam, result)) return result;
    return self->CallDefault(message, wParam, lParam);
}

void SetTabOrder(std::initializer_list<HWND> windows)
{
    HWND previous = HWND_TOP;
    for (const HWND window : windows) {
        if (!window) continue;
        // The windows do not overlap: their new order changes nothing on screen.
        ::SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        previous = window;
    }
}

void ShowKeyboardCues(HWND dialog)
{
    const WPARAM show = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
    ::SendMessageW(dialog, WM_CHANGEUISTATE, show, 0);
    // Windows passes the change on to every control; Wine 8 keeps no such state and passes
    // nothing on, so the controls are told directly as well (telling one twice changes nothing).
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_UPDATEUISTATE, show, 0);
    }
}

Dialog::Dialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR Dialog::DoModal()
{
    // Screen readers reach the dialog's accessible object through COM calls to this thread.
    const ComApartment apartment;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_parent,
                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

RECT Dialog::GetClientRect() const
{
    RECT rect{};
    ::GetClientRect(GetSafeHwnd(), &rect);
    return rect;
}

PaintedPart Dialog::Whole() const
{
    const Control window(GetSafeHwnd());
    return PaintedPart{ROLE_SYSTEM_DIALOG, window.GetWindowText(), L"", GetClientRect()};
}

bool Dialog::OnCommand(int id, int)
{
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Dialog* self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hwnd.store(hwnd, std::memory_order_release);
        return self->OnInitDialog();
    }
    Dialog* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    const INT_PTR handled = self->Route(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->m_accessible.Disconnect();
        self->m_hwnd.store(nullptr, std::memory_order_release);
    }
    return handled;
}

INT_PTR Dialog::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    if (message == WM_DRAWITEM) {
        // Owner-drawn buttons draw themselves, as if the message had been sent to them.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Button* button = Button::FromHandle(item->hwndItem)) {
            button->DrawItem(*item);
            return TRUE;
        }
    }
    LRESULT result = 0;
    if (!OnDialogManagerMessage(message, wParam, lParam, result) && !OnMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(GetSafeHwnd(), DWLP_MSGRESULT, result);
        return TRUE;
    }
}

bool Dialog::OnDialogManagerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const HWND hwnd = GetSafeHwnd();
    switch (message) {
    case WM_NEXTDLGCTL:
        // Tab, as the user's way around the dialog, shows where the focus is; the move itself
        // is left to the dialog manager.
        ShowKeyboardCues(hwnd);
        return false;
    case DM_GETDEFID: {
        // The focused push button is the default one while it has the focus, also for the
        // owner-drawn buttons, which the dialog manager does not count as push buttons.
        const HWND focus = ::GetFocus();
        if (!focus || !::IsChild(hwnd, focus) || !(::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            return false;
        }
        result = MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
        return true;
    }
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) != OBJID_CLIENT || PaintedParts().empty()) return false;
        result = m_accessible.Answer(hwnd, *this, wParam);
        return result != 0;
    default:
        return false;
    }
}

}  // namespace framework
