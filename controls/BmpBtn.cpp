#include "controls/BmpBtn.h"

#include <algorithm>
#include <string>

#include "framework/Window.h"
#include "resources/resource.h"

CBmpBtn::CBmpBtn() : m_hCursor(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR))) {}

bool CBmpBtn::Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id)
{
    // Created hidden and shown once its messages reach this object: a window created visible
    // has its first erase before it is subclassed, and the snapshot of that erase would be lost.
    if (!framework::Button::Create(caption, (style & ~WS_VISIBLE) | BS_OWNERDRAW, rect, parent, id)) return false;
    UpdateTabStop();
    if (style & WS_VISIBLE) ::ShowWindow(m_hwnd, SW_SHOWNA);
    return true;
}

void CBmpBtn::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled, COLORREF transparent,
                         const framework::DpiScale& scale)
{
    m_crTransparent = transparent;
    const auto load = [&scale](framework::Bitmap& bitmap, UINT id) {
        if (id != 0) bitmap = scale.LoadBitmap(id);
    };
    load(m_bmpNormal, normal);
    load(m_bmpHover, hover);
    load(m_bmpPressed, pressed);
    load(m_bmpDisabled, disabled);
}

void CBmpBtn::DrawItem(const DRAWITEMSTRUCT& item)
{
    m_bFocused = (item.itemState & ODS_FOCUS) != 0;
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
    ComposeStateFace(dc, width, height);
    if (m_bFocused && m_bShowFocus && m_nState != BTN_STATE_DISABLED) {
        RECT inside{2, 2, width - 2, height - 2};
        ::DrawFocusRect(dc, &inside);
    }
}

void CBmpBtn::ComposeStateFace(HDC dc, int width, int height)
{
    if (m_dcBk) m_dcBk->CopyTo(dc);
    ::SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ given = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    const framework::SelectScope font(dc, given ? given : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(dc, RGB(0, 0, 0));
    const std::wstring caption = GetWindowText();

    RECT text{0, 0, width, height};
    if (const HBITMAP face = FaceOfState()) {
        // The state bitmap, not the snapshot, is the face; the caption is centred on it.
        DrawFace(dc, face, width, height);
        if (m_nState == BTN_STATE_DISABLED) ::SetTextColor(dc, RGB(128, 128, 128));
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    if (m_nState == BTN_STATE_DISABLED) return;  // only the snapshot of the background
    if (m_nState == BTN_STATE_HOVER || m_nState == BTN_STATE_PRESSED) {
        const framework::Brush frame(::CreateSolidBrush(m_crFrame));
        ::FrameRect(dc, &text, frame.get());
    }
    if (m_nState == BTN_STATE_PRESSED) text = RECT{2, 2, width, height};
    ::DrawTextW(dc, caption.c_str(), -1, &text, DT_VCENTER | DT_SINGLELINE);
}

HBITMAP CBmpBtn::FaceOfState() const
{
    switch (m_nState) {
    case BTN_STATE_HOVER: return m_bmpHover.get();
    case BTN_STATE_PRESSED: return m_bmpPressed.get();
    case BTN_STATE_DISABLED: return m_bmpDisabled.get();
    default: return m_bmpNormal.get();
    }
}

void CBmpBtn::DrawFace(HDC dc, HBITMAP face, int width, int height) const
{
    // Drawn unscaled from the top-left corner; where a bitmap is smaller than the button the
    // snapshot stays.
    const SIZE size = framework::BitmapSize(face);
    const int w = std::min<int>(width, size.cx);
    const int h = std::min<int>(height, size.cy);
    const framework::MemoryDC source(dc);
    const framework::SelectScope selected(source.get(), face);
    if (m_crTransparent != 0) {
        ::GdiTransparentBlt(dc, 0, 0, w, h, source.get(), 0, 0, w, h, m_crTransparent);
    } else {
        ::BitBlt(dc, 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    }
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
    case WM_GETDLGCODE:
        result = DialogCode();
        return true;
    case BM_SETSTYLE:
        // The dialog manager marks the default push button through the button's style; this
        // one stays owner-drawn and is the default exactly while it has the focus.
        result = 0;
        return true;
    case WM_KEYDOWN:
        // A key pressed on the button: the user works with the keyboard.
        framework::ShowKeyboardCues(::GetParent(m_hwnd));
        return false;
    case WM_WINDOWPOSCHANGED:
        UpdateTabStop();
        return false;
    case WM_UPDATEUISTATE:
        result = CallDefault(message, wParam, lParam);
        OnUpdateUiState(wParam);
        return true;
    case WM_PRINTCLIENT: {
        // The face as the button shows it, for whoever asks for a picture of the window.
        RECT client{};
        ::GetClientRect(m_hwnd, &client);
        ComposeFace(reinterpret_cast<HDC>(wParam), client.right, client.bottom);
        result = 0;
        return true;
    }
    case WM_GETOBJECT:
        // A caption names a button by itself; a glyph needs its name told.
        if (m_strGlyphName.empty() || static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
        result = m_accessible.Answer(m_hwnd, *this, wParam);
        return result != 0;
    default:
        return false;
    }
}

framework::PaintedPart CBmpBtn::Whole() const
{
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    return framework::PaintedPart{ROLE_SYSTEM_PUSHBUTTON, m_strGlyphName, L"", client};
}

void CBmpBtn::OnUpdateUiState(WPARAM wParam)
{
    if (!(HIWORD(wParam) & UISF_HIDEFOCUS)) return;
    bool show = LOWORD(wParam) == UIS_CLEAR;
    // Set by the system from the last input (keyboard or mouse); the default handling has
    // recorded the outcome.
    if (LOWORD(wParam) == UIS_INITIALIZE) show = !(::SendMessageW(m_hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    if (show == m_bShowFocus) return;
    m_bShowFocus = show;
    if (m_bFocused) DrawButton();
}

void CBmpBtn::UpdateTabStop() const
{
    // A button placed later by its page is no stop before it has its place.
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    const LONG style = ::GetWindowLongW(m_hwnd, GWL_STYLE);
    const LONG wanted = ::IsRectEmpty(&client) ? (style & ~WS_TABSTOP) : (style | WS_TABSTOP);
    if (wanted != style) ::SetWindowLongW(m_hwnd, GWL_STYLE, wanted);
}

UINT CBmpBtn::DialogCode() const
{
    // An owner-drawn button is no push button to the dialog manager; this one is.
    return DLGC_BUTTON | (::GetFocus() == m_hwnd ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

BOOL CBmpBtn::OnEraseBkgnd(HDC dc)
{
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    // Taken once, at the first erase of a button that has its place: what the parent has
    // painted there. A button without an area has nothing to take yet.
    if (!m_dcBk && !::IsRectEmpty(&client)) {
        m_dcBk.emplace(dc, client.right, client.bottom);
        ::BitBlt(m_dcBk->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    }
    return TRUE;  // the background is never erased
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
    const DWORD position = ::GetMessagePos();
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
