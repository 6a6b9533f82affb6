// The wizard window: initialisation with the run-once guard, the message routing and the
// button handlers. Page layouts and the progress threads are in WizardPages.cpp, the painting
// in WizardPainting.cpp.
#include "installer/ExcelToolInstallerDlg.h"

#include <shellapi.h>

#include <array>
#include <cstdlib>
#include <utility>

#include "controls/MyMsgDlg.h"
#include "installer/upgrade/FileHolders.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"
#include "resources/resource.h"

namespace {

constexpr int kWizardWidth = 550;
constexpr int kWizardHeight = 385;
// Shows the failure of an installation in the message box, on the UI thread.
constexpr UINT WM_REPORT_INSTALL_FAILURE = WM_APP + 2;
// Asks the user to close the programs holding the earlier installation (lParam: the message
// text); answers IDOK for 重试.
constexpr UINT WM_ASK_TO_CLOSE_PROGRAMS = WM_APP + 3;

struct WizardButton {
    int id;
    const wchar_t* caption;
    UINT normal, hover, pressed, disabled;
};

// In the order of BitmapButtons().
constexpr std::array<WizardButton, 5> kButtons{{
    {IDC_BTN_MIN, nullptr, IDB_BTN_MIN_NORMAL, IDB_BTN_MIN_HOVER, IDB_BTN_MIN_NORMAL, 0},
    {IDC_BTN_CLOSE, nullptr, IDB_BTN_CLOSE_NORMAL, IDB_BTN_CLOSE_HOVER, IDB_BTN_CLOSE_NORMAL, 0},
    {IDC_BTN_CANCEL, L"取消", IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0},
    {IDC_BTN_INSTALL, L"安装", IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL},
    {IDC_BTN_FINISH, L"完成", IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0},
}};

bool GetDiskFreeGB(const wchar_t* path, double& gb)
{
    ULARGE_INTEGER bytesFree{};
    ULARGE_INTEGER bytesTotal{};
    // One variable receives both the bytes available to the caller and the total free bytes.
    if (!::SHGetDiskFreeSpaceExW(path, &bytesFree, &bytesTotal, &bytesFree)) return false;
    gb = static_cast<double>(bytesFree.QuadPart) / 1024.0 / 1024.0 / 1024.0;
    return true;
}

// Creates a named mutex into mutex; false when the name is taken already. That is the case when
// another process had created the mutex (the handle is then closed again at once), and also
// when no handle comes back at all: a mutex made under another account or integrity level
// exists but may not be opened (ERROR_ACCESS_DENIED), and its maker runs all the same.
bool CreateFirstMutex(const wchar_t* name, BOOL initiallyOwned, framework::KernelHandle& mutex)
{
    framework::KernelHandle created(::CreateMutexW(nullptr, initiallyOwned, name));
    if (!created || ::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    mutex = std::move(created);
    return true;
}

}  // namespace

INT_PTR CExcelToolInstallerDlg::RunWizard()
{
    // The agreement box is a rich edit 1.0 control; its class must exist before the dialog's
    // controls are created.
    m_richEdit = framework::LoadSystemLibrary(L"riched32.dll");
    if (!m_richEdit) return -1;
    return DoModal();
}

void CExcelToolInstallerDlg::WaitForBackgroundInstall()
{
    if (!m_hProgressThread) return;
    const HANDLE thread = m_hProgressThread.get();
    // The progress thread may be sending to the wizard's windows just as the dialog ends
    // (moving or showing a control is a message to this thread): such messages are answered
    // while waiting, or each thread would wait for the other.
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
}

framework::Font CExcelToolInstallerDlg::CreateBoldFont(const framework::DpiScale& scale)
{
    return framework::Font(::CreateFontW(scale.Scaled(12), scale.Scaled(6), 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"宋体"));
}

RECT CExcelToolInstallerDlg::GetClientRectOrSaved() const
{
    const RECT client = GetClientRect();
    if (client.left == 0 && client.top == 0 && client.right == 0 && client.bottom == 0) return m_rcClient;
    return client;
}

RECT CExcelToolInstallerDlg::LogicalClientRect() const
{
    return m_scale.Unscaled(GetClientRectOrSaved());
}

void CExcelToolInstallerDlg::AcquireRunOnceGuards()
{
    if (!CreateFirstMutex(L"Qelt_Excel_Tool_RunOnce", FALSE, m_hRunOnce)) {
        ShowMyMsgDlg(MSGDLG_NOTICE, framework::LoadStringResource(IDS_ALREADY_RUNNING), -1, GetSafeHwnd());
        std::exit(0);
    }
    if (!CreateFirstMutex(L"OnlyRun", TRUE, m_hOnlyRun)) {
        ShowMyMsgDlg(MSGDLG_NOTICE, m_strProductName + L"正在运行中，请退出后重试安装！", -1, GetSafeHwnd());
        std::exit(0);
    }
}

void CExcelToolInstallerDlg::ReleaseOnlyRun()
{
    // Owned since OnInitDialog by this thread, the only one that may release it.
    if (m_hOnlyRun) ::ReleaseMutex(m_hOnlyRun.get());
    m_hOnlyRun.reset();
}

BOOL CExcelToolInstallerDlg::OnInitDialog()
{
    const HWND hwnd = GetSafeHwnd();
    framework::TakeOverDpiChanges(hwnd);
    // The dialog manager has made the template's font for the window's DPI.
    m_nTemplateFontDpi = framework::WindowDpi(hwnd);
    m_hTemplateFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    SetScale(m_nTemplateFontDpi);
    ::SetWindowLongW(hwnd, GWL_STYLE, ::GetWindowLongW(hwnd, GWL_STYLE) | WS_MINIMIZEBOX);
    ::MoveWindow(hwnd, 0, 0, m_scale.Scaled(kWizardWidth), m_scale.Scaled(kWizardHeight), TRUE);
    ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    AcquireRunOnceGuards();

    // Pure red is the colour key: the background bitmap's red pixels are see-through.
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, RGB(255, 0, 0), 0, LWA_COLORKEY);
    m_fontBold = CreateBoldFont(m_scale);
    m_rcClient = GetClientRectOrSaved();
    m_chkLaunch.Attach(GetDlgItem(IDC_CHK_LAUNCH));
    m_chkAgree.Attach(GetDlgItem(IDC_CHK_AGREE));
    ApplyScaleToFonts();
    CreateButtons();

    m_chkLaunch.SetWindowText(framework::Format(L"立即启动%ls", m_strProductName.c_str()));

    if (!LoadAgreement()) std::exit(0);
    m_strTitle = framework::Format(L"%ls-安装向导", m_strProductName.c_str());
    ::SetWindowTextW(hwnd, m_strTitle.c_str());
    ShowDiskSpace();
    LayoutAgreementPage();
    ShowPageControls();
    ::SetFocus(m_btnInstall.GetSafeHwnd());
    return FALSE;
}

std::array<CBmpBtn*, 5> CExcelToolInstallerDlg::BitmapButtons()
{
    return {&m_btnMin, &m_btnClose, &m_btnCancel, &m_btnInstall, &m_btnFinish};
}

void CExcelToolInstallerDlg::CreateButtons()
{
    const RECT none{0, 0, 0, 0};
    const RECT rects[] = {TitleButtonRect(IDC_BTN_MIN), TitleButtonRect(IDC_BTN_CLOSE), none, none, none};
    for (size_t i = 0; i < kButtons.size(); ++i) {
        BitmapButtons()[i]->Create(kButtons[i].caption, WS_CHILD | WS_VISIBLE, rects[i], GetSafeHwnd(), kButtons[i].id);
    }
    ApplyScaleToButtons();
}

void CExcelToolInstallerDlg::ApplyScaleToButtons()
{
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const WizardButton& b = kButtons[i];
        CBmpBtn& button = *BitmapButtons()[i];
        button.SetBitmaps(b.normal, b.hover, b.pressed, b.disabled, 0, m_scale);
        ::SendMessageW(button.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_fontGui.get()), FALSE);
    }
    m_btnMin.SetGlyphName(L"最小化");
    m_btnClose.SetGlyphName(L"关闭");
    // Tab goes through each page in reading order and ends with the title bar's buttons.
    framework::SetTabOrder({GetDlgItem(IDC_EDIT_AGREEMENT), m_chkAgree.GetSafeHwnd(), m_btnInstall.GetSafeHwnd(),
                            m_btnCancel.GetSafeHwnd(), m_chkLaunch.GetSafeHwnd(), m_btnFinish.GetSafeHwnd(),
                            m_btnMin.GetSafeHwnd(), m_btnClose.GetSafeHwnd()});
}

void CExcelToolInstallerDlg::ShowDiskSpace()
{
    const framework::Control space(GetDlgItem(IDC_STATIC_SPACE));
    space.SetWindowText(L"");
    double gb = 0.0;
    if (GetDiskFreeGB(L"C:", gb)) {
        space.SetWindowText(framework::Format(L"所需空间：%.1fM     可用空间：%.1fG", m_dRequiredMB, gb));
        InvalidateControl(IDC_STATIC_SPACE);
    }
}

void CExcelToolInstallerDlg::InvalidateControl(int id)
{
    InvalidateWizardRect(framework::Control(GetDlgItem(id)).GetRectInParent());
}

bool CExcelToolInstallerDlg::OnCommand(int id, int notifyCode)
{
    if (notifyCode != BN_CLICKED) return false;
    switch (id) {
    case IDC_BTN_MIN: ::ShowWindow(GetSafeHwnd(), SW_MINIMIZE); return true;
    case IDC_BTN_CLOSE: OnBnClickedClose(); return true;
    case IDC_BTN_CANCEL: OnBnClickedCancel(); return true;
    case IDC_BTN_INSTALL: OnBnClickedInstall(); return true;
    case IDC_BTN_FINISH: OnBnClickedFinish(); return true;
    case IDC_CHK_AGREE: OnBnClickedAgree(); return true;
    default: return framework::Dialog::OnCommand(id, notifyCode);
    }
}

bool CExcelToolInstallerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        if (!::IsIconic(GetSafeHwnd())) return false;
        OnPaint();
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    case WM_ERASEBKGND:
        result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_NCHITTEST:
        // The whole surface outside the child controls drags the window.
        result = HTCAPTION;
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        if (!brush) return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_INSTALL_COMPLETE:
        LayoutFinishPage();
        ShowPageControls();
        result = 0;
        return true;
    case WM_REPORT_INSTALL_FAILURE:
        ShowMyMsgDlg(MSGDLG_ERROR, framework::LoadStringResource(IDS_INSTALL_FAILED), -1, GetSafeHwnd());
        result = 0;
        return true;
    case WM_ASK_TO_CLOSE_PROGRAMS:
        result = ShowMyMsgDlg(MSGDLG_RETRY_CANCEL, *reinterpret_cast<const std::wstring*>(lParam), -1, GetSafeHwnd());
        return true;
    default:
        return false;
    }
}

void CExcelToolInstallerDlg::ReportInstallFailure(HWND wizard)
{
    ::PostMessageW(wizard, WM_REPORT_INSTALL_FAILURE, 0, 0);
}

bool CExcelToolInstallerDlg::AskToClosePrograms(const std::vector<HoldingProgram>& holders)
{
    const std::wstring text =
        holders.empty() ? framework::Format(framework::LoadStringResource(IDS_FILES_IN_USE).c_str(), m_strProductName.c_str())
                        : framework::Format(framework::LoadStringResource(IDS_CLOSE_PROGRAMS).c_str(),
                                            JoinDisplayNames(holders).c_str());
    // The worker waits here for the answer; a wizard that has gone answers nothing (0).
    const HWND wizard = GetSafeHwnd();
    return wizard && ::SendMessageW(wizard, WM_ASK_TO_CLOSE_PROGRAMS, 0, reinterpret_cast<LPARAM>(&text)) == IDOK;
}

void CExcelToolInstallerDlg::OnPaint()
{
    const framework::PaintDC dc(GetSafeHwnd());
    ::SendMessageW(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    const RECT client = GetClientRectOrSaved();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, m_hIcon);
}

void CExcelToolInstallerDlg::OnBnClickedClose()
{
    if (m_nPage == 1 &&
        ::MessageBoxW(GetSafeHwnd(), L"您确定要退出安装？", L"安装向导", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    OnCancel();
}

void CExcelToolInstallerDlg::OnBnClickedCancel()
{
    if (m_nPage == 1 &&
        ShowMyMsgDlg(MSGDLG_YESNO, framework::LoadStringResource(IDS_CONFIRM_CANCEL), -1, GetSafeHwnd()) != IDOK) {
        return;
    }
    OnCancel();
}

void CExcelToolInstallerDlg::OnBnClickedInstall()
{
    // Only once, and only with the agreement accepted, however the click arrives.
    if (m_nPage != 0 || m_chkAgree.GetCheck() != BST_CHECKED) return;
    EnterInstallPage();
    ShowPageControls();
    StartInstall();
}

void CExcelToolInstallerDlg::OnBnClickedFinish()
{
    if (ProductInstalled() && m_chkLaunch.GetCheck() == BST_CHECKED) LaunchProduct();
    OnOK();
}

void CExcelToolInstallerDlg::OnBnClickedAgree()
{
    m_btnInstall.EnableWindow(m_chkAgree.GetCheck() != 0);
}
