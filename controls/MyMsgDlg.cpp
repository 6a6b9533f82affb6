#include "controls/MyMsgDlg.h"

#include "controls/MsgTextLayout.h"
#include "resources/resource.h"

namespace {

constexpr int kWidth = 286;
constexpr int kHeight = 148;
constexpr COLORREF kColourKey = RGB(255, 0, 0);
constexpr RECT kCaptionRect{10, 3, 60, 21};

struct ButtonLayout {
    const wchar_t* caption;
    int left, right;  // offsets from the client's right edge
    UINT normal, hover;
};

const ButtonLayout kYes{L"是", 111, 63, IDB_MSG_BTN_NORMAL, IDB_MSG_BTN_HOVER};
const ButtonLayout kNo{L"否", 58, 10, IDB_MSG_BTN_NORMAL, IDB_MSG_BTN_HOVER};
const ButtonLayout kContinue{L"继续安装", 149, 82, IDB_MSG_WIDE_BTN_NORMAL, IDB_MSG_WIDE_BTN_HOVER};
const ButtonLayout kQuit{L"退出安装", 77, 10, IDB_MSG_WIDE_BTN_NORMAL, IDB_MSG_WIDE_BTN_HOVER};
const ButtonLayout kOk{L"确定", 58, 10, IDB_MSG_BTN_NORMAL, IDB_MSG_BTN_HOVER};
const ButtonLayout kRetry{L"重试", 111, 63, IDB_MSG_BTN_NORMAL, IDB_MSG_BTN_HOVER};
const ButtonLayout kCancel{L"取消", 58, 10, IDB_MSG_BTN_NORMAL, IDB_MSG_BTN_HOVER};

UINT IconFor(int mode)
{
    switch (mode) {
    case MSGDLG_ERROR: return IDB_MSG_ICON_ERROR;
    case MSGDLG_YESNO:
    case MSGDLG_CONTINUE_QUIT:
    case MSGDLG_RETRY_CANCEL: return IDB_MSG_ICON_QUESTION;
    default: return IDB_MSG_ICON_NOTICE;
    }
}

// A button of the box at its 96-DPI place rect, placed and drawn at the box's scale (taken from
// the box's window as OnInitDialog takes it).
void CreateButton(CBmpBtn& button, const wchar_t* caption, const RECT& rect, HWND parent, int id, UINT normal, UINT hover)
{
    const framework::DpiScale scale(framework::WindowDpi(parent));
    button.Create(caption, WS_CHILD | WS_VISIBLE, scale.Scaled(rect), parent, id);
    button.SetBitmaps(normal, hover, normal, 0, 0, scale);
}

// client: the box's client rectangle at its scale.
void CreateLowerButton(CBmpBtn& button, const ButtonLayout& layout, const RECT& client, HWND parent, int id)
{
    const RECT c = framework::DpiScale(framework::WindowDpi(parent)).Unscaled(client);
    const RECT rect{c.right - layout.left, c.bottom - 26, c.right - layout.right, c.bottom - 7};
    CreateButton(button, layout.caption, rect, parent, id, layout.normal, layout.hover);
}

// Copies a whole bitmap onto a rectangle, leaving its pure-red pixels out.
void StretchBitmapTransparent(HDC dc, const framework::DpiScale& scale, UINT id, const RECT& to)
{
    const framework::Bitmap bitmap = scale.LoadBitmap(id);
    if (!bitmap) return;
    const SIZE size = framework::BitmapSize(bitmap.get());
    const framework::MemoryDC source(dc);
    const framework::SelectScope selected(source.get(), bitmap.get());
    ::GdiTransparentBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(), 0, 0, size.cx, size.cy,
                        kColourKey);
}

// The box's outline in client coordinates: the rectangle with its top corners rounded by
// 10 × 10 and its bottom corners by 12 × 11 (at 96 DPI), made of a rounded head and a rounded body.
framework::Region CreateOutline(const RECT& client, const framework::DpiScale& scale)
{
    const auto s = [&scale](int v) { return scale.Scaled(v); };
    framework::Region head(
        ::CreateRoundRectRgn(client.left, client.top, client.right + 1, client.top + s(40) + 1, s(10), s(10)));
    const framework::Region body(
        ::CreateRoundRectRgn(client.left, client.top + s(30), client.right + 1, client.bottom + 1, s(12), s(11)));
    ::CombineRgn(head.get(), head.get(), body.get(), RGN_OR);
    return head;
}

// Paints what lies outside the outline in the colour key. Wine shapes a colour-keyed window by
// its key pixels, not by its region, and shows unpainted pixels black.
void PaintOutsideOutline(HDC dc, const RECT& client, const framework::DpiScale& scale)
{
    const framework::Region outline = CreateOutline(client, scale);
    const framework::Region outside(::CreateRectRgnIndirect(&client));
    ::CombineRgn(outside.get(), outside.get(), outline.get(), RGN_DIFF);
    const framework::Brush key(::CreateSolidBrush(kColourKey));
    ::FillRgn(dc, outside.get(), key.get());
}

// The box draws its whole surface itself, so its client area must be the whole window: a frame
// given by the dialog template would shrink it and shift every fixed position inside.
void RemoveFrame(HWND hwnd)
{
    constexpr LONG kFrame = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME;
    constexpr LONG kFrameEx = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    ::SetWindowLongW(hwnd, GWL_STYLE, ::GetWindowLongW(hwnd, GWL_STYLE) & ~kFrame);
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) & ~kFrameEx);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawBitmapAt(HDC dc, const framework::DpiScale& scale, UINT id, POINT at)
{
    const framework::Bitmap bitmap = scale.LoadBitmap(id);
    if (!bitmap) return;
    const SIZE size = framework::BitmapSize(bitmap.get());
    const framework::MemoryDC source(dc);
    const framework::SelectScope selected(source.get(), bitmap.get());
    ::BitBlt(dc, at.x, at.y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

// Widths in the 96-DPI pixels the text layout works in, measured in the font selected into dc.
MeasureText MeasureAtScale(HDC dc, const framework::DpiScale& scale)
{
    return [measure = MeasureIn(dc), &scale](const std::wstring& text) { return scale.UnscaledUp(measure(text)); };
}

}  // namespace

int ShowMyMsgDlg(int mode, const std::wstring& text, int errorCode, HWND parent)
{
    CMyMsgDlg dialog(mode, text, errorCode, parent);
    const INT_PTR code = dialog.DoModal();
    // The box ends only with IDOK or IDCANCEL. DialogBox reports a missing template as -1 but an
    // owner that no longer exists (a worker's message after the wizard has closed) as 0.
    return code == IDOK || code == IDCANCEL ? static_cast<int>(code) : -1;
}

CMyMsgDlg::CMyMsgDlg(int mode, const std::wstring& text, int errorCode, HWND parent)
    : framework::Dialog(IDD_MYMSGDLG, parent), m_nMode(mode), m_nErrorCode(errorCode), m_strText(text)
{
}

BOOL CMyMsgDlg::OnInitDialog()
{
    const HWND hwnd = GetSafeHwnd();
    framework::TakeOverDpiChanges(hwnd);
    m_scale = framework::DpiScale(framework::WindowDpi(hwnd));
    const int width = m_scale.Scaled(kWidth);
    const int height = m_scale.Scaled(kHeight);
    ::SetWindowTextW(hwnd, m_strCaption.c_str());
    RemoveFrame(hwnd);
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, kColourKey, 0, LWA_COLORKEY);
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    RECT rect = GetClientRect();
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    ::MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(hwnd, rect.left, rect.top, width, height, TRUE);
    // The window region follows at the first paint (OnEraseBkgnd): Wine paints the clipped
    // corners of a layered window black when the region is there before the window has drawn.

    m_fontCaption.reset(::CreateFontW(m_scale.Scaled(12), m_scale.Scaled(6), 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0,
                                      FF_SWISS, L"宋体"));
    m_fontText = framework::ScaledFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), framework::SystemDpi(), m_scale);
    CreateButtons();

    ::SetFocus(m_btnOK.GetSafeHwnd());
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    ::SetWindowPos(hwnd, nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
                   desktop.top + (desktop.bottom - desktop.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return FALSE;
}

void CMyMsgDlg::CreateButtons()
{
    const RECT client = GetClientRect();
    const HWND hwnd = GetSafeHwnd();
    const RECT c = m_scale.Unscaled(client);
    const RECT closeRect{c.right - 44, c.top + 1, c.right - 7, c.top + 19};
    CreateButton(m_btnClose, nullptr, closeRect, hwnd, IDC_BTN_CLOSE, IDB_MSG_CLOSE_NORMAL, IDB_MSG_CLOSE_HOVER);

    switch (EffectiveMsgMode(m_nMode)) {
    case MSGDLG_YESNO:
        CreateLowerButton(m_btnOK, kYes, client, hwnd, IDC_BTN_MSG_OK);
        CreateLowerButton(m_btnCancel, kNo, client, hwnd, IDC_BTN_MSG_CANCEL);
        break;
    case MSGDLG_CONTINUE_QUIT:
        CreateLowerButton(m_btnOK, kContinue, client, hwnd, IDC_BTN_MSG_OK);
        CreateLowerButton(m_btnCancel, kQuit, client, hwnd, IDC_BTN_MSG_CANCEL);
        break;
    case MSGDLG_RETRY_CANCEL:
        CreateLowerButton(m_btnOK, kRetry, client, hwnd, IDC_BTN_MSG_OK);
        CreateLowerButton(m_btnCancel, kCancel, client, hwnd, IDC_BTN_MSG_CANCEL);
        break;
    default:
        CreateLowerButton(m_btnOK, kOk, client, hwnd, IDC_BTN_MSG_OK);
        break;
    }
    m_btnClose.SetGlyphName(L"关闭");
    framework::SetTabOrder({m_btnOK.GetSafeHwnd(), m_btnCancel.GetSafeHwnd(), m_btnClose.GetSafeHwnd()});
    // The captions in the text's font at the box's scale (a button without a window ignores it).
    for (const CBmpBtn* button : {&m_btnClose, &m_btnOK, &m_btnCancel}) {
        ::SendMessageW(button->GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_fontText.get()), FALSE);
    }
}

void CMyMsgDlg::ApplyWindowRegion()
{
    RECT client = GetClientRect();
    ::OffsetRect(&client, -client.left, -client.top);
    // The window owns the region from here on.
    ::SetWindowRgn(GetSafeHwnd(), CreateOutline(client, m_scale).release(), TRUE);
}

bool CMyMsgDlg::OnCommand(int id, int notifyCode)
{
    switch (id) {
    case IDOK:
    case IDC_BTN_MSG_OK:
        OnOK();
        return true;
    case IDCANCEL:
    case IDC_BTN_CLOSE:
    case IDC_BTN_MSG_CANCEL:
        OnCancel();
        return true;
    default:
        return framework::Dialog::OnCommand(id, notifyCode);
    }
}

bool CMyMsgDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_ERASEBKGND:
        result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_NCHITTEST: {
        RECT window{};
        ::GetWindowRect(GetSafeHwnd(), &window);
        const int y = static_cast<short>(HIWORD(lParam));
        if (y < window.top + m_scale.Scaled(5) || y > window.top + m_scale.Scaled(25)) return false;
        result = HTCAPTION;
        return true;
    }
    default:
        return false;
    }
}

BOOL CMyMsgDlg::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    framework::OffscreenSurface surface(dc, client.right, client.bottom);
    const HDC memory = surface.dc();
    framework::FillSolid(memory, client, RGB(255, 255, 255));
    StretchBitmapTransparent(memory, m_scale, IDB_MSG_BACKGROUND, client);

    {
        const framework::SelectScope font(memory, m_fontText.get());
        ::SetTextColor(memory, RGB(0, 0, 0));
        ::SetBkMode(memory, TRANSPARENT);
        for (const TextRow& row : LayoutMessageText(m_nMode, m_strText, m_nErrorCode, MeasureAtScale(memory, m_scale))) {
            RECT rect = m_scale.Scaled(row.rect);
            ::DrawTextW(memory, row.text.c_str(), static_cast<int>(row.text.size()), &rect, DT_SINGLELINE | DT_VCENTER);
        }
        DrawBitmapAt(memory, m_scale, IconFor(EffectiveMsgMode(m_nMode)), m_scale.Scaled(POINT{16, 52}));
    }
    {
        const framework::SelectScope font(memory, m_fontCaption.get());
        ::SetTextColor(memory, RGB(0xD0, 0xD0, 0xD0));
        RECT caption = m_scale.Scaled(kCaptionRect);
        ::DrawTextW(memory, m_strCaption.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER);
    }
    PaintOutsideOutline(memory, client, m_scale);
    surface.CopyTo(dc);
    if (!m_bShaped) {
        m_bShaped = true;
        ApplyWindowRegion();
    }
    return TRUE;
}

std::vector<framework::PaintedPart> CMyMsgDlg::PaintedParts() const
{
    std::vector<framework::PaintedPart> parts{{ROLE_SYSTEM_STATICTEXT, m_strCaption, L"", m_scale.Scaled(kCaptionRect)}};
    const framework::MemoryDC measuring(nullptr);
    const framework::SelectScope font(measuring.get(), m_fontText.get());
    for (const TextRow& row : LayoutMessageText(m_nMode, m_strText, m_nErrorCode, MeasureAtScale(measuring.get(), m_scale))) {
        parts.push_back({ROLE_SYSTEM_STATICTEXT, row.text, L"", m_scale.Scaled(row.rect)});
    }
    return parts;
}
