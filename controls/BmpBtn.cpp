#include "controls/BmpBtn.h"

#include <string>

#include "resources/resource.h"

CBmpBtn::CBmpBtn() : m_hCursor(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR))) {}

CBmpBtn::~CBmpBtn()
{
    if (m_bmpBkPrevious) ::SelectObject(m_dcBk.get(), m_bmpBkPrevious);
}

bool CBmpBtn::Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id)
{
    return framework::Button::Create(caption, style | BS_OWNERDRAW, rect, parent, id);
}

void CBmpBtn::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled, COLORREF transparent)
{
    m_crTransparent = transparent;
    const auto load = [](framework::Bitmap& bitmap, UINT id) {
        if (id != 0) bitmap = framework::LoadBitmapResource(id);
    };
    load(m_bmpNormal, normal);
    load(m_bmpHover, hover);
    load(m_bmpPressed, pressed);
    load(m_bmpDisabled, disabled);
}

void CBmpBtn::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (!(item.itemState & ODS_FOCUS)) {
        m_nState = BTN_STATE_NORMAL;
    } else if (item.itemState & ODS_SELECTED) {
        m_nState = BTN_STATE_PRESSED;
    } else if (m_bHover) {
        m_nState = BTN_STATE_HOVER;
    }
    if (item.itemState & ODS_DISABLED) m_nState = BTN_STATE_DISABLED;
    DrawButton();
}

void CBmpBtn::DrawButton()
{
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    const framework::WindowDC screen(m_hwnd);
    framework::OffscreenSurface surface(screen.get(), client.right, client.bottom);
    ComposeFace(surface.dc(), client.right, client.bottom);
    surface.CopyTo(screen.get());
}

void CBmpBtn::ComposeFace(HDC dc, int width, int height)
{
    if (m_dcBk) ::BitBlt(dc, 0, 0, width, height, m_dcBk.get(), 0, 0, SRCCOPY);
    ::SetBkMode(dc, TRANSPARENT);
    const framework::SelectScope font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(dc, RGB(0, 0, 0));
    const std::wstring caption = GetWindowText();

    HBITMAP face = nullptr;
    switch (m_nState) {
    case BTN_STATE_HOVER: face = m_bmpHover.get(); break;
    case BTN_STATE_PRESSED: face = m_bmpPressed.get(); break;
    case BTN_STATE_DISABLED: face = m_bmpDisabled.get(); break;
    default: face = m_bmpNormal.get(); break;
    }

    RECT text{0, 0, width, height};
    if (face) {
        // The state bitmap, not the snapshot, is the face; the caption is centred on it.
        const framework::MemoryDC source(dc);
        const framework::SelectScope selected(source.get(), face);
        ::BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        if (m_nState == BTN_STATE_DISABLED) ::SetTextColor(dc, RGB(128, 128, 128));
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    if (m_nState == BTN_STATE_DISABLED) return;  // only the snapshot of the background
    if (m_nState == BTN_STATE_HOVER || m_nState == BTN_STATE_PRESSED) {
        framework::Brush frame(::CreateSolidBrush(m_crFrame));
        ::FrameRect(dc, &text, frame.get());
    }
    if (m_nState == BTN_STATE_PRESSED) text = RECT{2, 2, width, height};
    ::DrawTextW(dc, caption.c_str(), -1, &text, DT_VCENTER | DT_SINGLELINE);
}

bool CBmpBtn::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_ERASEBKGND:
        result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove();
        result = CallDefault(message, wParam, lParam);
        return true;
    case WM_SETCURSOR:
        ::SetCursor(m_hCursor);
        result = TRUE;
        return true;
    case WM_TIMER:
        OnTimer();
        result = CallDefault(message, wParam, lParam);
        return true;
    default:
        return false;
    }
}

BOOL CBmpBtn::OnEraseBkgnd(HDC dc)
{
    if (m_bNeedBk) {
        RECT client{};
        ::GetClientRect(m_hwnd, &client);
        m_dcBk.reset(dc);
        m_bmpBk.reset(::CreateCompatibleBitmap(dc, client.right, client.bottom));
        m_bmpBkPrevious = ::SelectObject(m_dcBk.get(), m_bmpBk.get());
        ::BitBlt(m_dcBk.get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        m_bNeedBk = false;
    }
    return TRUE;
}

void CBmpBtn::OnMouseMove()
{
    m_bHover = true;
    m_nState = BTN_STATE_HOVER;
    DrawButton();
    ::SetTimer(m_hwnd, HOVER_TIMER_ID, HOVER_TIMER_MS, nullptr);
}

void CBmpBtn::OnTimer()
{
    DWORD position = ::GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::ScreenToClient(m_hwnd, &point);
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    if (!::PtInRect(&client, point)) {
        m_nState = BTN_STATE_NORMAL;
        m_bHover = false;
        ::KillTimer(m_hwnd, HOVER_TIMER_ID);
    }
    DrawButton();
}
