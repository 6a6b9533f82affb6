#include "tests/controls/ButtonHost.h"

#include "framework/Window.h"

namespace controls_test {

namespace {

constexpr wchar_t kClassName[] = L"ControlsTestButtonHost";

void RegisterHostClass(WNDPROC proc)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassW(&wc);  // fails harmlessly when a previous host registered it
}

}  // namespace

ButtonHost::ButtonHost(int width, int height, int origin)
    : m_pattern(std::make_unique<PixelSurface>(width, height, RGB(0, 0, 0)))
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) m_pattern->set(x, y, PatternAt(x, y));
    }
    RegisterHostClass(&ButtonHost::WindowProc);
    m_hwnd = ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"button host", WS_POPUP, origin, origin, width, height,
                               nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    // Shown without activation: Wine then leaves the window to itself rather than to a window
    // manager, which the test display does not have and would be waited for on every close.
    ::ShowWindow(m_hwnd, SW_SHOWNA);
    ::UpdateWindow(m_hwnd);
    PumpMessages();
}

ButtonHost::~ButtonHost()
{
    if (m_hwnd) ::DestroyWindow(m_hwnd);
}

COLORREF ButtonHost::PatternAt(int x, int y)
{
    return RGB(96 + x % 160, 96 + y % 160, 200);
}

LRESULT CALLBACK ButtonHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ButtonHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        if (!self) break;
        ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, self->m_pattern->width(), self->m_pattern->height(),
                 self->m_pattern->dc(), 0, 0, SRCCOPY);
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (framework::Button* button = framework::Button::FromHandle(item->hwndItem)) button->DrawItem(*item);
        return TRUE;
    }
    case WM_COMMAND:
        if (self && HIWORD(wParam) == BN_CLICKED) self->m_clicks.push_back(LOWORD(wParam));
        return 0;
    case WM_NCDESTROY:
        if (self) self->m_hwnd = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void PumpMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace controls_test
