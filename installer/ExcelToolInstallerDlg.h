// The installer object: at once the wizard dialog and the install engine. One instance is built
// by start-up, on its own stack, in both modes. The constructor fixes the install folder and the
// temporary folder; the install steps are its operations, each in a file of its own under
// installer/, and the wizard's window side lives under ui/.
//
// Threads (wizard mode): the UI thread runs the dialog; the progress thread paces the bar and
// waits for the install worker, which runs DoInstall. They share m_nProgress, m_nPage,
// m_bInstallDone and m_strLaunchPath; the three counters are atomics, and m_strLaunchPath is
// written by the worker before it sets m_bInstallDone (release) and read only after that flag
// has been seen (acquire).
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "controls/BmpBtn.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/ScopedHandle.h"
#include "framework/Window.h"

struct HoldingProgram;
struct SwapOutcome;
struct UpgradeFolders;

// Private message that performs the finish transition of the wizard.
constexpr UINT WM_INSTALL_COMPLETE = 0x7E9;

class CExcelToolInstallerDlg : public framework::Dialog {
public:
    explicit CExcelToolInstallerDlg(std::wstring inFrom, HWND parent = nullptr);
    ~CExcelToolInstallerDlg() override;

    // Silent mode: runs the install sequence on the calling thread; 0 on success, -1 when the
    // product could not be installed.
    int RunSilent();

    // Wizard mode: loads the rich edit control's library and runs the dialog; -1 when the
    // window could not be created.
    INT_PTR RunWizard();
    // Wizard mode, after the dialog has ended: an installation still running in the background
    // is allowed to finish, so that the product is never left half unpacked.
    void WaitForBackgroundInstall();

    // The roaming folder + "\Corvane\Plandrel\"; empty when the system reports no roaming folder.
    const std::wstring& InstallDir() const { return m_strInstallDir; }
    const std::wstring& TempDir() const { return m_strTempDir; }
    const std::wstring& ProductName() const { return m_strProductName; }

    // Writes an embedded resource of this executable to a file, whole. False when the resource
    // is missing or empty, the file cannot be created, or the write falls short (the partial
    // file is then removed).
    bool ExtractResourceToFile(const std::wstring& path, WORD id, const std::string& type);

    // The install sequence in its two forms; both end by setting m_bInstallDone.
    bool DoInstall();
    bool SilentInstall();

    // Reads the unpacked product's LocalConfig.xml. Outputs are assigned only when found.
    bool ReadLocalConfig(std::wstring& appId, std::wstring& libId, std::wstring& current);
    // Whether the companion client is installed already (registry or file trace).
    bool IsClientInstalled();
    bool CreateShortcutsWithFallback(std::wstring uninstaller, std::wstring launcher);
    bool CreateShortcuts(std::wstring uninstaller, std::wstring launcher, bool allUsers);
    void InstallDotNet();
    void InstallDotNetSilent();
    bool LoadAgreement();

    const std::wstring& Agreement() const { return m_strAgreement; }
    double RequiredMB() const { return m_dRequiredMB; }
    bool InstallDone() const { return m_bInstallDone.load(std::memory_order_acquire); }
    std::wstring LaunchPath() const { return m_strLaunchPath; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // What the current page paints, for screen readers (ui/WizardPainting.cpp).
    std::vector<framework::PaintedPart> PaintedParts() const override;

    // Everything below is protected rather than private so that tests can reach the steps and
    // the painting through a subclass of their own.
    enum class Mode { Wizard, Silent };

    // Fixes m_strInstallDir below the session user's roaming folder and creates it; leaves it
    // empty when there is no such folder.
    void FixInstallFolder();
    // The common body of DoInstall and SilentInstall.
    bool RunInstallSequence(Mode mode);
    // Unpacks the product beside the install folder and swaps it in; false, with the earlier
    // installation as it was, when the archive is refused or the unpacking or the swap fails.
    bool UnpackProduct(const std::wstring& archivePath, const UpgradeFolders& folders, Mode mode);
    // True once no file of the earlier installation is in use. Files in use are logged with the
    // programs that hold them; the wizard asks the user to close those and try again, silent
    // mode gives up at once.
    bool EarlierInstallationFree(std::vector<std::wstring> inUse, const UpgradeFolders& folders, Mode mode);
    std::vector<HoldingProgram> LogProgramsHolding(const std::vector<std::wstring>& inUse, const UpgradeFolders& folders);
    static void LogSwapFailure(const SwapOutcome& swap, const UpgradeFolders& folders);
    void MarkInstallDone(bool succeeded);
    void RunPostInstallSteps(Mode mode);
    void RecordInstallation(const std::wstring& libId, const std::wstring& current, Mode mode);
    void RunAndRemoveClientProgram();
    bool ExtractDotNetRedistributable(std::wstring& path);

    // Window side (ui/).
    // The bold font of the title, the headings and the current step (m_fontBold), at a scale.
    static framework::Font CreateBoldFont(const framework::DpiScale& scale = framework::DpiScale());
    RECT GetClientRectOrSaved() const;
    // GetClientRectOrSaved in the 96-DPI pixels the layouts are given in.
    RECT LogicalClientRect() const;
    void CreateButtons();
    // The five bitmap buttons, in the order the wizard creates them.
    std::array<CBmpBtn*, 5> BitmapButtons();
    // Display scale (ui/WizardScale.cpp): the window's fonts at m_scale, the title-strip
    // buttons' places and every button's bitmaps; and the answer to a change of DPI.
    // Makes dpi the window's scale (m_scale and m_nScaleDpi).
    void SetScale(int dpi);
    void ApplyScaleToFonts();
    void ApplyScaleToButtons();
    RECT TitleButtonRect(int id) const;
    void PlaceTitleButtons();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void PlaceAgreementPageControls();
    void PlaceFinishPageControls();
    void ShowPageControls();
    void LayoutAgreementPage();
    void EnterInstallPage();
    void LayoutFinishPage();
    void InvalidateControl(int id);
    void InvalidatePageArea();
    // Invalidates rect of the wizard with erasing; nothing once the wizard is gone.
    void InvalidateWizardRect(const RECT& rect) const;
    void ShowDiskSpace();
    void StartInstall();
    bool RunProgress();
    void LaunchProduct();
    // Has the thread that runs wizard show the failure in the message box.
    void ReportInstallFailure(HWND wizard);
    // From the install worker: asks the user, on the wizard's thread, to close the programs
    // that hold files of the earlier installation. True for 重试, false for 取消 or when the
    // wizard is gone.
    bool AskToClosePrograms(const std::vector<HoldingProgram>& holders);
    void AcquireRunOnceGuards();
    // Lets go of "OnlyRun", before the product is started from the finish page.
    void ReleaseOnlyRun();
    void InvalidateProgressBar();
    // Tells screen readers of the new progress value, at every tenth point and at 100; before
    // is the value it replaced.
    void AnnounceProgress(int before) const;
    // The text line of the installing page (1) or of the finish page (2).
    std::wstring PageLine(int page) const;
    // The worker has ended and unpacked the whole product.
    bool ProductInstalled() const;
    // The wizard's window still exists (the progress thread outlives it when the wizard is
    // closed during the installation).
    bool WizardOpen() const;
    static unsigned __stdcall ProgressThreadProc(void* self);
    static unsigned __stdcall InstallThreadProc(void* self);

    void OnBnClickedClose();
    void OnBnClickedCancel();
    void OnBnClickedInstall();
    void OnBnClickedFinish();
    void OnBnClickedAgree();
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control);

    // Painting (ui/WizardPainting.cpp).
    void DrawBackground(HDC dc);
    void DrawTitleButtonStrips(HDC dc);
    void DrawTitle(HDC dc);
    void DrawSteps(HDC dc);
    void DrawPageHeader(HDC dc, const wchar_t* text);
    void DrawProgressFrame(HDC dc);
    void DrawProgressBar(HDC dc);

    // Members in the order the design gives them; the window-side ones are set up by
    // OnInitDialog.
    std::wstring m_strSessionUser;
    HICON m_hIcon = nullptr;
    framework::Font m_fontBold;
    framework::Control m_chkLaunch;
    framework::Control m_chkAgree;
    CBmpBtn m_btnMin;
    CBmpBtn m_btnClose;
    CBmpBtn m_btnCancel;
    CBmpBtn m_btnInstall;
    CBmpBtn m_btnFinish;
    std::wstring m_strProductName = L"绘途";
    std::wstring m_strInstallDir;
    double m_dRequiredMB = 100.2;
    std::atomic<int> m_nPage{0};
    std::wstring m_strTitle = L"绘途-安装向导";
    std::wstring m_strTempDir;
    std::atomic<int> m_nProgress{0};
    std::atomic<bool> m_bInstallDone{false};
    std::wstring m_strLaunchPath;
    std::wstring m_strAgreement;
    RECT m_rcClient{};
    std::wstring m_strInFrom;

    // Whether the last install sequence unpacked the whole product (wizard: shown on page 2).
    std::atomic<bool> m_bInstallSucceeded{false};
    // The progress thread, kept so that the object outlives it (WaitForBackgroundInstall).
    framework::KernelHandle m_hProgressThread;
    // The run-once mutexes: the first held for the life of the process, "OnlyRun" until the
    // product is started from the finish page.
    framework::KernelHandle m_hRunOnce;
    framework::KernelHandle m_hOnlyRun;
    framework::Module m_richEdit;
    // The session user's token when setup runs under a service account in their session: the
    // shortcuts and the client check then go to that user's folders (installer/ProfilePath.h).
    framework::KernelHandle m_hUserToken;

    // The window's display scale; the GUI font (DEFAULT_GUI_FONT, at the system's DPI) and the
    // dialog template's font (made for m_nTemplateFontDpi) at that scale.
    framework::DpiScale m_scale;
    // m_scale's DPI for the progress thread, which invalidates the bar; written with m_scale.
    std::atomic<int> m_nScaleDpi{framework::DpiScale::kBaseDpi};
    framework::ScaledFont m_fontGui{static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))};
    framework::ScaledFont m_fontTemplate;
    HFONT m_hTemplateFont = nullptr;
    int m_nTemplateFontDpi = framework::DpiScale::kBaseDpi;
};
