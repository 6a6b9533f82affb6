#include "tests/controls/Backdrop.h"

#include "framework/Gdi.h"
#include "tests/controls/ButtonHost.h"

namespace controls_test {

namespace {
constexpr wchar_t kClassName[] = L"ControlsTestBackdrop";
}

Backdrop::Backdrop(COLORREF colour) : m_colour(colour)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Backdrop::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassW(&wc);  // fails harmlessly when an earlier backdrop registered it
    m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"backdrop", WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                               ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    // Not activated, like the button host: see there.
    ::ShowWindow(m_hwnd, SW_SHOWNA);
    ::UpdateWindow(m_hwnd);
    PumpMessages();
}

Backdrop::~Backdrop()
{
    if (m_hwnd) ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK Backdrop::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<const Backdrop*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_ERASEBKGND && self) {
        RECT client{};
        ::GetClientRect(hwnd, &client);
        framework::FillSolid(reinterpret_cast<HDC>(wParam), client, self->m_colour);
        return TRUE;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace controls_test
