// Shows one message box or one face of the bitmap button, for scripts/screenshots-controls:
//
//   controls_gallery <ready file> <done file> msgbox <mode> <error code> <text, "\n" for a line feed>
//   controls_gallery <ready file> <done file> button <normal|hover|pressed|disabled> [plain]
//
// Once the window is on screen and drawn, the area to photograph ("x y width height", screen
// pixels) is written to the ready file; the program ends when the done file appears.
#include <windows.h>

#include <cstdio>
#include <string>

#include "controls/BmpBtn.h"
#include "controls/MyMsgDlg.h"
#include "framework/Gdi.h"
#include "resources/resource.h"
#include "tests/controls/Backdrop.h"
#include "tests/controls/ButtonHost.h"
#include "tests/controls/MessageBoxDriver.h"

namespace {

constexpr COLORREF kDesktop = RGB(214, 220, 229);
constexpr int kMargin = 10;  // of desktop around the message box, so that its corners show

// The part of the wizard's footer the button is shown on, and the button's place in it.
constexpr RECT kFooter{340, 351, 540, 383};
constexpr POINT kInstallAt{390, 356};
constexpr POINT kCancelAt{460, 356};

struct Files {
    std::wstring ready;
    std::wstring done;
};

void ReportReady(const Files& files, const RECT& area)
{
    const std::wstring partial = files.ready + L".part";
    if (FILE* f = _wfopen(partial.c_str(), L"w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left, area.bottom - area.top);
        std::fclose(f);
        ::MoveFileExW(partial.c_str(), files.ready.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Handles messages for a while, so that everything shown has drawn itself.
void Settle(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        controls_test::PumpMessages();
        ::Sleep(10);
    }
}

void WaitForDone(const Files& files)
{
    while (!Exists(files.done)) Settle(50);
}

std::wstring Unescape(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            out += L'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int ShowMessageBox(const Files& files, int mode, int errorCode, const std::wstring& text)
{
    const controls_test::Backdrop desktop(kDesktop);
    controls_test::DriveMessageBox(mode, text, errorCode, nullptr, [&files](HWND box) {
        ::Sleep(500);
        RECT area{};
        ::GetWindowRect(box, &area);
        ::InflateRect(&area, kMargin, kMargin);
        ReportReady(files, area);
        while (!Exists(files.done)) ::Sleep(50);
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    return 0;
}

// A window showing a piece of the wizard's footer, as the wizard paints it.
class FooterWindow {
public:
    FooterWindow()
        : m_background(framework::LoadBitmapResource(IDB_WIZARD_BACKGROUND))
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FooterWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ControlsGalleryFooter";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"footer", WS_POPUP, 100, 100, kFooter.right - kFooter.left,
                                   kFooter.bottom - kFooter.top, nullptr, nullptr, wc.hInstance, this);
        ::ShowWindow(m_hwnd, SW_SHOW);
        ::UpdateWindow(m_hwnd);
    }
    ~FooterWindow() { ::DestroyWindow(m_hwnd); }

    HWND hwnd() const { return m_hwnd; }
    static RECT Place(POINT wizardPoint)
    {
        const int x = wizardPoint.x - kFooter.left;
        const int y = wizardPoint.y - kFooter.top;
        return RECT{x, y, x + 60, y + 21};
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<FooterWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_ERASEBKGND && self) {
            const framework::MemoryDC source(reinterpret_cast<HDC>(wParam));
            const framework::SelectScope selected(source.get(), self->m_background.get());
            ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, kFooter.right - kFooter.left, kFooter.bottom - kFooter.top,
                     source.get(), kFooter.left, kFooter.top, SRCCOPY);
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (framework::Button* button = framework::Button::FromHandle(item->hwndItem)) button->DrawItem(*item);
            return TRUE;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    framework::Bitmap m_background;
    HWND m_hwnd = nullptr;
};

int ShowButton(const Files& files, const std::wstring& face, bool plain)
{
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
    FooterWindow footer;
    CBmpBtn install, cancel;
    install.Create(L"安装", WS_CHILD | WS_VISIBLE, FooterWindow::Place(kInstallAt), footer.hwnd(), IDC_BTN_INSTALL);
    cancel.Create(L"取消", WS_CHILD | WS_VISIBLE, FooterWindow::Place(kCancelAt), footer.hwnd(), IDC_BTN_CANCEL);
    if (plain) {
        install.SetBitmaps(0, 0, 0, 0, 0);
    } else {
        install.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL, 0);
    }
    cancel.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0, 0);
    Settle(300);
    if (face == L"hover") {
        RECT rect{};
        ::GetWindowRect(install.GetSafeHwnd(), &rect);
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    } else if (face == L"pressed") {
        ::SetFocus(install.GetSafeHwnd());
        ::SendMessageW(install.GetSafeHwnd(), BM_SETSTATE, TRUE, 0);
    } else if (face == L"disabled") {
        ::EnableWindow(install.GetSafeHwnd(), FALSE);
    }
    Settle(500);
    RECT area{};
    ::GetWindowRect(footer.hwnd(), &area);
    ReportReady(files, area);
    WaitForDone(files);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5) return 2;
    const Files files{argv[1], argv[2]};
    const std::wstring what = argv[3];
    if (what == L"msgbox" && argc >= 7) return ShowMessageBox(files, _wtoi(argv[4]), _wtoi(argv[5]), Unescape(argv[6]));
    if (what == L"button") return ShowButton(files, argv[4], argc >= 6 && std::wstring(argv[5]) == L"plain");
    return 2;
}
