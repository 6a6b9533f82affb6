// The wizard's three pages and the threads of the installation: the progress thread paces the
// bar (one point per 200 ms up to 93) and waits for the install worker, which runs DoInstall.
#include "installer/ExcelToolInstallerDlg.h"

#include <process.h>

#include "installer/steps/RunProgram.h"
#include "resources/resource.h"

namespace {

constexpr int kPacedLimit = 93;
constexpr DWORD kProgressStepMs = 200;
// How often the progress thread looks at the worker once the paced part is over.
constexpr DWORD kDonePollMs = 10;

framework::Control Child(HWND dialog, int id)
{
    return framework::Control(::GetDlgItem(dialog, id));
}

framework::KernelHandle StartThread(unsigned(__stdcall* entry)(void*), void* argument)
{
    return framework::KernelHandle(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, entry, argument, 0, nullptr)));
}

}  // namespace

void CExcelToolInstallerDlg::ShowPageControls()
{
    const HWND dialog = GetSafeHwnd();
    const auto show = [dialog](std::initializer_list<int> ids, bool visible) {
        for (const int id : ids) Child(dialog, id).Show(visible);
    };
    switch (m_nPage) {
    case 0:
        show({IDC_BTN_CANCEL, IDC_BTN_INSTALL, IDC_EDIT_AGREEMENT, IDC_CHK_AGREE}, true);
        show({IDC_STATIC_SPACE}, false);
        break;
    case 1:
        show({IDC_BTN_CANCEL}, true);
        show({IDC_CHK_AGREE, IDC_BTN_INSTALL, IDC_EDIT_AGREEMENT, IDC_STATIC_SPACE}, false);
        break;
    default:
        show({IDC_BTN_FINISH}, true);
        // No offer to start a product that did not install.
        show({IDC_CHK_LAUNCH}, ProductInstalled());
        show({IDC_BTN_CANCEL, IDC_CHK_AGREE}, false);
        break;
    }
}

bool CExcelToolInstallerDlg::ProductInstalled() const
{
    // Acquire first: the worker's other results are read only after its end has been seen.
    return InstallDone() && m_bInstallSucceeded.load(std::memory_order_relaxed);
}

bool CExcelToolInstallerDlg::WizardOpen() const
{
    return ::IsWindow(GetSafeHwnd()) != FALSE;
}

void CExcelToolInstallerDlg::InvalidateWizardRect(const RECT& rect) const
{
    // A null window would make InvalidateRect repaint every window on the desktop.
    const HWND wizard = GetSafeHwnd();
    if (wizard) ::InvalidateRect(wizard, &rect, TRUE);
}

void CExcelToolInstallerDlg::InvalidatePageArea()
{
    const RECT client = LogicalClientRect();
    InvalidateWizardRect(m_scale.Scaled(RECT{client.left, client.top + 30, client.right, client.bottom - 35}));
    // A new page: screen readers read its parts afresh.
    if (const HWND wizard = GetSafeHwnd()) framework::NotifyPartsReordered(wizard);
}

void CExcelToolInstallerDlg::PlaceAgreementPageControls()
{
    const RECT c = LogicalClientRect();
    const RECT box{c.left + 20, c.top + 75, c.right - 20, c.bottom - 70};
    Child(GetSafeHwnd(), IDC_EDIT_AGREEMENT).MoveWindow(m_scale.Scaled(box));
    m_chkAgree.MoveWindow(m_scale.Scaled(RECT{c.left + 20, box.bottom + 10, c.left + 220, box.bottom + 30}));
    m_btnCancel.MoveWindow(m_scale.Scaled(RECT{c.right - 90, c.bottom - 29, c.right - 30, c.bottom - 8}));
    m_btnInstall.MoveWindow(m_scale.Scaled(RECT{c.right - 160, c.bottom - 29, c.right - 100, c.bottom - 8}));
}

void CExcelToolInstallerDlg::LayoutAgreementPage()
{
    PlaceAgreementPageControls();
    Child(GetSafeHwnd(), IDC_EDIT_AGREEMENT).SetWindowText(m_strAgreement);
    m_btnInstall.EnableWindow(false);
    m_chkAgree.SetCheck(BST_UNCHECKED);
    m_nPage = 0;
    InvalidatePageArea();
}

void CExcelToolInstallerDlg::EnterInstallPage()
{
    m_nPage = 1;
    InvalidatePageArea();
}

void CExcelToolInstallerDlg::PlaceFinishPageControls()
{
    const RECT c = LogicalClientRect();
    m_chkLaunch.MoveWindow(m_scale.Scaled(RECT{c.left + 25, c.top + 300, c.left + 555, c.top + 320}));
    m_btnFinish.MoveWindow(m_scale.Scaled(RECT{c.right - 90, c.bottom - 29, c.right - 30, c.bottom - 8}));
}

void CExcelToolInstallerDlg::LayoutFinishPage()
{
    PlaceFinishPageControls();
    m_chkLaunch.SetCheck(ProductInstalled() ? BST_CHECKED : BST_UNCHECKED);
    m_nPage = 2;
    InvalidatePageArea();
}

void CExcelToolInstallerDlg::StartInstall()
{
    ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_hProgressThread = StartThread(&CExcelToolInstallerDlg::ProgressThreadProc, this);
    if (m_hProgressThread) return;
    // Without the thread nothing would ever leave the installing page.
    LayoutFinishPage();
    ShowPageControls();
    ReportInstallFailure(GetSafeHwnd());
}

unsigned __stdcall CExcelToolInstallerDlg::ProgressThreadProc(void* self)
{
    if (self) static_cast<CExcelToolInstallerDlg*>(self)->RunProgress();
    return 0;
}

unsigned __stdcall CExcelToolInstallerDlg::InstallThreadProc(void* self)
{
    if (self) static_cast<CExcelToolInstallerDlg*>(self)->DoInstall();
    return 0;
}

void CExcelToolInstallerDlg::InvalidateProgressBar()
{
    // Called by the progress thread: the scale is read from its atomic copy.
    InvalidateWizardRect(framework::DpiScale(m_nScaleDpi).Scaled(RECT{23, 313, 520, 330}));
}

bool CExcelToolInstallerDlg::RunProgress()
{
    const framework::KernelHandle worker = StartThread(&CExcelToolInstallerDlg::InstallThreadProc, this);
    if (!worker) MarkInstallDone(false);
    // The bar shows time, not work: it holds at 93 until the worker reports the end. Once the
    // wizard has been closed there is no bar left to pace.
    while (m_nProgress < 100 && WizardOpen()) {
        if (m_nProgress < kPacedLimit) {
            AnnounceProgress(m_nProgress++);
            InvalidateProgressBar();
            ::Sleep(kProgressStepMs);
        }
        if (InstallDone()) {
            AnnounceProgress(m_nProgress.exchange(100));
            InvalidateProgressBar();
            ::Sleep(kProgressStepMs);
            break;
        }
        // Past the paced part, wait for the worker instead of spinning on the flag.
        if (m_nProgress >= kPacedLimit) ::WaitForSingleObject(worker.get(), kDonePollMs);
    }
    // A wizard closed meanwhile leaves the installation to finish in the background: the
    // installer object outlives the worker because start-up waits for this thread.
    if (worker) ::WaitForSingleObject(worker.get(), INFINITE);
    // The finish transition is left to the UI thread, as the private message does it: the
    // wizard may close at any moment, and this thread then has no window left to change.
    const HWND wizard = GetSafeHwnd();
    if (!wizard) return true;
    ::PostMessageW(wizard, WM_INSTALL_COMPLETE, 0, 0);
    if (!ProductInstalled()) ReportInstallFailure(wizard);
    return true;
}

void CExcelToolInstallerDlg::LaunchProduct()
{
    // The product takes "OnlyRun" for its own sign that it runs: the installer lets go of it
    // first, or a product that checks at start-up would quit at once.
    ReleaseOnlyRun();
    StartProduct(m_strLaunchPath);
}
