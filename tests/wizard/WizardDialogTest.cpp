// The real wizard run in this test program, which carries setup.exe's resources, while a second
// thread of the program drives it. Unlike setup.exe driven from outside, the test can ask the
// windows to paint into its own memory: what the pages and the message boxes show is read back
// and compared with the texts they must show.
#include <gtest/gtest.h>

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "controls/MsgTextLayout.h"
#include "controls/MyMsgDlg.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "installer/ExcelToolInstallerDlg.h"
#include "installer/InstallLog.h"
#include "installer/upgrade/RunLock.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/Canvas.h"
#include "tests/wizard/WizardDriver.h"

using namespace testing_support;
using namespace wizard_driver;
using namespace wizard_tests;

namespace {

constexpr DWORD kTimeoutMs = 60000;
constexpr RECT kFinishLine{25, 275, 450, 293};
// Where the message box draws its rows (client coordinates of the box).
constexpr RECT kMessageArea{60, 40, 280, 100};

// Ends the test program when the wizard does not get where the driver waits for it: the
// wizard's modal loop on the other thread would otherwise keep the test running.
HWND OrGiveUp(HWND window, const char* what)
{
    if (!window) {
        std::fprintf(stderr, "gave up waiting for %s\n", what);
        std::fflush(stderr);
        std::_Exit(3);
    }
    return window;
}

HWND WaitForOwnWindow(const wchar_t* title, const char* what)
{
    return OrGiveUp(WaitForProcessWindow(::GetCurrentProcessId(), title, kTimeoutMs), what);
}

// Runs the wizard on this thread, as start-up does, while drive runs on another.
void RunWizardDrivenBy(const std::function<void()>& drive)
{
    std::thread driver(drive);
    CExcelToolInstallerDlg wizard(L"");
    wizard.RunWizard();
    wizard.WaitForBackgroundInstall();
    driver.join();
}

// How alike the painted message box is to text laid out in mode as the box lays it out.
double MessageLikeness(const Canvas& box, int mode, const std::wstring& text)
{
    const framework::MemoryDC measuring(nullptr);
    const framework::SelectScope font(measuring.get(), ::GetStockObject(DEFAULT_GUI_FONT));
    std::vector<PlacedText> rows;
    for (const TextRow& row : LayoutMessageText(mode, text, -1, MeasureIn(measuring.get()))) rows.push_back({row.text, row.rect});
    return GuiTextLikeness(box, rows, kMessageArea);
}

std::wstring FinishFailedLine()
{
    return framework::Format(framework::LoadStringResource(IDS_FINISH_FAILED).c_str(), L"绘途");
}

struct FailedRun {
    double errorLikeness = 0;    // the box against text 213 in error mode
    double noticeLikeness = 0;   // ... in notice mode
    double configLikeness = 0;   // ... against text 209
    double failedLine = 0;       // the finish page against text 214
    double succeededLine = 0;    // ... against the completion text
    bool launchOffered = true;
};

TEST(WizardDialog, FailedInstallationIsReportedAndTheFinishPageSaysSo)
{
    // A folder where the product archive is to be written.
    MakeFolders(TempPath() + L"~temp.install.data.zip");

    FailedRun run;
    RunWizardDrivenBy([&] {
        const HWND wizard = WaitForOwnWindow(kWizardTitle, "the wizard");
        Click(wizard, IDC_CHK_AGREE);
        Click(wizard, IDC_BTN_INSTALL);
        const HWND box = WaitForOwnWindow(kMessageBoxTitle, "the failure message");
        const auto shown = PaintedClient(box);
        const std::wstring failed = framework::LoadStringResource(IDS_INSTALL_FAILED);
        run.errorLikeness = MessageLikeness(*shown, MSGDLG_ERROR, failed);
        run.noticeLikeness = MessageLikeness(*shown, MSGDLG_NOTICE, failed);
        run.configLikeness = MessageLikeness(*shown, MSGDLG_ERROR, framework::LoadStringResource(IDS_INSTALLCONF_ERROR));
        Click(box, IDC_BTN_MSG_OK);

        OrGiveUp(WaitFor([&] { return IsShown(wizard, IDC_BTN_FINISH); }, kTimeoutMs) ? wizard : nullptr, "the finish page");
        const auto page = PaintedClient(wizard);
        run.failedLine = GuiTextLikeness(*page, {{FinishFailedLine(), kFinishLine}}, kFinishLine);
        run.succeededLine = GuiTextLikeness(*page, {{L"绘途安装完成，单击“完成”退出。", kFinishLine}}, kFinishLine);
        run.launchOffered = IsShown(wizard, IDC_CHK_LAUNCH) || IsChecked(wizard, IDC_CHK_LAUNCH);
        Click(wizard, IDC_BTN_FINISH);
    });

    EXPECT_GT(run.errorLikeness, 0.9);
    EXPECT_LT(run.noticeLikeness, 0.7);
    EXPECT_LT(run.configLikeness, 0.7);
    EXPECT_GT(run.failedLine, 0.9);
    EXPECT_LT(run.succeededLine, 0.7);
    EXPECT_FALSE(run.launchOffered);
}

// Whether a button's face shows a focus rectangle: its face, painted for us, differs from the
// bitmaps it is drawn from along the edge 2 pixels inside, where no caption reaches.
bool ShowsFocus(HWND wizard, int id, UINT normal, UINT hover)
{
    const HWND button = ::GetDlgItem(wizard, id);
    RECT rect{};
    ::GetClientRect(button, &rect);
    Canvas face(rect.right, rect.bottom);
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(face.dc()), PRF_CLIENT);
    const auto differs = [&](UINT id) {
        const BitmapPixels bitmap = ReadBitmapResource(id);
        for (int x = 2; x < rect.right - 2; ++x) {
            if (face.at(x, 2) != bitmap.at(x, 2) || face.at(x, rect.bottom - 3) != bitmap.at(x, rect.bottom - 3)) return true;
        }
        for (int y = 2; y < rect.bottom - 2; ++y) {
            if (face.at(2, y) != bitmap.at(2, y) || face.at(rect.right - 3, y) != bitmap.at(rect.right - 3, y)) return true;
        }
        return false;
    };
    return differs(normal) && differs(hover);
}

struct FocusSeen {
    int afterClicks = 0;
    bool shownAfterClicks = true;
    int afterTab = 0;
    bool shownAfterTab = false;
};

// A mouse user sees the faces as they are, whichever button has the focus; Tab shows it.
TEST(WizardDialog, FocusShowsOnTheBitmapButtonsOnlyOnceTheKeyboardMovesIt)
{
    FocusSeen seen;
    RunWizardDrivenBy([&] {
        // The install page stays while the driver holds the install folder, as another run
        // would: the finish page must not take the focus away halfway.
        const RunLock anotherRun(testing_support::InstallFolder(), 0);
        const HWND wizard = WaitForOwnWindow(kWizardTitle, "the wizard");
        Click(wizard, IDC_CHK_AGREE);
        Click(wizard, IDC_BTN_INSTALL);
        OrGiveUp(WaitFor([&] { return !IsShown(wizard, IDC_BTN_INSTALL); }, kTimeoutMs) ? wizard : nullptr, "the install page");
        seen.afterClicks = FocusedId(wizard);
        seen.shownAfterClicks = ShowsFocus(wizard, IDC_BTN_CANCEL, IDB_BTN_NORMAL, IDB_BTN_HOVER);
        seen.afterTab = PressTab(wizard);
        seen.shownAfterTab = ShowsFocus(wizard, IDC_BTN_MIN, IDB_BTN_MIN_NORMAL, IDB_BTN_MIN_HOVER);
        PressKey(wizard, VK_ESCAPE);
    });
    EXPECT_EQ(seen.afterClicks, IDC_BTN_CANCEL);
    EXPECT_FALSE(seen.shownAfterClicks);
    EXPECT_EQ(seen.afterTab, IDC_BTN_MIN);
    EXPECT_TRUE(seen.shownAfterTab);
}

class BackgroundInstall : public CExcelToolInstallerDlg {
public:
    BackgroundInstall() : CExcelToolInstallerDlg(L"") {}
    // A progress thread that sends one message to window, as moving a control of the wizard does.
    void StartSendingTo(HWND window)
    {
        m_hProgressThread.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &SendNull, window, 0, nullptr)));
    }

private:
    static unsigned __stdcall SendNull(void* window)
    {
        ::SendMessageW(static_cast<HWND>(window), WM_NULL, 0, 0);
        return 0;
    }
};

TEST(WizardDialog, WaitingForTheBackgroundInstallationAnswersMessagesOfItsThreads)
{
    std::atomic<bool> returned{false};
    std::thread ui([&] {
        // A window of this thread, as the wizard's controls belong to the UI thread.
        const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        BackgroundInstall installer;
        installer.StartSendingTo(window);
        installer.WaitForBackgroundInstall();
        returned = true;
        ::DestroyWindow(window);
    });
    if (!WaitFor([&] { return returned.load(); }, kTimeoutMs)) {
        std::fprintf(stderr, "the wait and the progress thread wait for each other\n");
        std::_Exit(3);
    }
    ui.join();
}

// How the first holder made its mutex: open to this account, or closed to it, as a mutex made by
// a program of another account or integrity level is.
enum class FirstHolder { SameAccount, OtherAccount };

// The start of a second wizard while a first holds mutex: shows expected, not other, then
// ends the program with status 0 (checked by the death test around it).
void SecondWizardShowsAndExits(const wchar_t* mutex, const std::wstring& expected, const std::wstring& other,
                               FirstHolder holder = FirstHolder::SameAccount)
{
    // An empty access list grants nobody anything; only its maker has a handle.
    SECURITY_DESCRIPTOR closed{};
    ACL noAccess{};
    ::InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
    ::InitializeAcl(&noAccess, sizeof(noAccess), ACL_REVISION);
    ::SetSecurityDescriptorDacl(&closed, TRUE, &noAccess, FALSE);
    SECURITY_ATTRIBUTES closedToOthers{sizeof(closedToOthers), &closed, FALSE};
    const framework::KernelHandle first(
        ::CreateMutexW(holder == FirstHolder::OtherAccount ? &closedToOthers : nullptr, FALSE, mutex));
    std::thread([expected, other] {
        const HWND box = WaitForOwnWindow(kMessageBoxTitle, "the message");
        const auto shown = PaintedClient(box);
        const double likeExpected = MessageLikeness(*shown, MSGDLG_NOTICE, expected);
        const double likeOther = MessageLikeness(*shown, MSGDLG_NOTICE, other);
        std::fprintf(stderr, likeExpected > 0.9 && likeOther < 0.7 ? "the expected message\n" : "another message (%.2f, %.2f)\n",
                     likeExpected, likeOther);
        std::fflush(stderr);
        Click(box, IDC_BTN_MSG_OK);
    }).detach();
    CExcelToolInstallerDlg wizard(L"");
    wizard.RunWizard();
}

TEST(WizardDialogDeathTest, AnotherSetupRunningShowsTheAlreadyRunningTextAndExitsZero)
{
    const std::wstring alreadyRunning = framework::LoadStringResource(IDS_ALREADY_RUNNING);
    // The same path in the process that runs the statement; its install log ends with the exit
    // status although the wizard ends the program from deep inside.
    const std::wstring log = TempPath() + L"already-running.log";
    ::DeleteFileW(log.c_str());
    EXPECT_EXIT(
        {
            InstallLog::Instance().Open(log);
            SecondWizardShowsAndExits(L"Qelt_Excel_Tool_RunOnce", alreadyRunning, L"绘途正在运行中，请退出后重试安装！");
        },
        ::testing::ExitedWithCode(0), "the expected message");
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(text.substr(text.size() - std::min<size_t>(text.size(), 15)), "exit status 0\r\n");
}

TEST(WizardDialogDeathTest, TheProductRunningShowsItsNameAndExitsZero)
{
    const std::wstring alreadyRunning = framework::LoadStringResource(IDS_ALREADY_RUNNING);
    EXPECT_EXIT(SecondWizardShowsAndExits(L"OnlyRun", L"绘途正在运行中，请退出后重试安装！", alreadyRunning),
                ::testing::ExitedWithCode(0), "the expected message");
}

TEST(WizardDialogDeathTest, MutexesThatCannotBeOpenedCountAsRunning)
{
    const std::wstring alreadyRunning = framework::LoadStringResource(IDS_ALREADY_RUNNING);
    const std::wstring productRunning = L"绘途正在运行中，请退出后重试安装！";
    EXPECT_EXIT(SecondWizardShowsAndExits(L"Qelt_Excel_Tool_RunOnce", alreadyRunning, productRunning, FirstHolder::OtherAccount),
                ::testing::ExitedWithCode(0), "the expected message");
    EXPECT_EXIT(SecondWizardShowsAndExits(L"OnlyRun", productRunning, alreadyRunning, FirstHolder::OtherAccount),
                ::testing::ExitedWithCode(0), "the expected message");
}

}  // namespace
