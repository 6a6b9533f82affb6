// setup.exe in wizard mode, driven from this test program as a user would drive it: the
// agreement box, the install and finish pages, the launch of the product and what it finds, a
// second instance, Escape while installing, and an installation that fails. Each case runs in a prefix of its own.
// What the pages and boxes draw is checked in-process (WizardDialogTest, WizardPaintingTest).
#include <gtest/gtest.h>

#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/ScopedHandle.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardDriver.h"

using namespace testing_support;
using namespace wizard_driver;

namespace {

// Generous bounds for a loaded machine. A run takes the worker's 2 s pause and the installation
// itself: the bar jumps to 100 as soon as the worker has ended.
constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kInstallTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 60000;

const wchar_t kLauncherClass[] = L"PlandrelSampleLauncher";
const wchar_t kLauncherTitle[] = L"绘途";

bool ProductInstalled()
{
    return FileExists(InstallFolder() + L"StartUp.exe") && FileExists(InstallFolder() + L"LocalConfig.xml");
}

// The start-menu group (per user or for all users) and the desktop shortcut.
bool ShortcutsMade()
{
    const auto inGroup = [](int csidl) {
        const std::wstring group = KnownFolder(csidl) + L"\\栖杉坊\\绘途\\";
        return FileExists(group + L"绘途.lnk") && FileExists(group + L"卸载绘途.lnk");
    };
    return (inGroup(CSIDL_PROGRAMS) || inGroup(CSIDL_COMMON_PROGRAMS)) &&
           (FileExists(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk") ||
            FileExists(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\绘途.lnk"));
}

bool OnAgreementPage(HWND wizard)
{
    return IsShown(wizard, IDC_EDIT_AGREEMENT) && IsShown(wizard, IDC_CHK_AGREE) && IsShown(wizard, IDC_BTN_INSTALL);
}

bool OnInstallPage(HWND wizard)
{
    return IsShown(wizard, IDC_BTN_CANCEL) && !IsShown(wizard, IDC_EDIT_AGREEMENT) && !IsShown(wizard, IDC_CHK_AGREE) &&
           !IsShown(wizard, IDC_BTN_INSTALL) && !IsShown(wizard, IDC_BTN_FINISH);
}

bool OnFinishPage(HWND wizard)
{
    return IsShown(wizard, IDC_BTN_FINISH) && !IsShown(wizard, IDC_BTN_CANCEL);
}

// Accepts the agreement and presses 安装.
void StartInstalling(HWND wizard)
{
    Click(wizard, IDC_CHK_AGREE);
    Click(wizard, IDC_BTN_INSTALL);
}

void CloseLauncher(HWND launcher)
{
    ::PostMessageW(launcher, WM_CLOSE, 0, 0);
    WaitFor([&] { return !::IsWindow(launcher); }, kExitTimeoutMs);
}

// setup.exe ends with status 0 and starts nothing.
void ExpectEndedStartingNothing(const Process& setup)
{
    DWORD status = 0xDEADBEEF;
    ASSERT_TRUE(setup.WaitForExit(kExitTimeoutMs, status));
    EXPECT_EQ(status, 0u);
    // The launcher, had it been started, would show its window well within this.
    EXPECT_FALSE(WaitFor([] { return FindProcessWindow(0, kLauncherTitle, kLauncherClass) != nullptr; }, 5000));
}

// setup.exe ends with status 0 and the installed product starts.
void ExpectEndedStartingTheProduct(const Process& setup)
{
    DWORD status = 0xDEADBEEF;
    ASSERT_TRUE(setup.WaitForExit(kExitTimeoutMs, status));
    EXPECT_EQ(status, 0u);
    HWND launcher = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (launcher = FindProcessWindow(0, kLauncherTitle, kLauncherClass)) != nullptr; },
                        kWindowTimeoutMs));
    if (launcher) CloseLauncher(launcher);
}

TEST(WizardRun, AgreementGatesInstallingAndFinishStartsTheInstalledProduct)
{
    Process setup(SetupExePath(), L"");
    ASSERT_TRUE(setup.started());
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);

    // A borderless 550 × 385 window whose client area is all of it.
    RECT window{};
    RECT client{};
    ::GetWindowRect(wizard, &window);
    ::GetClientRect(wizard, &client);
    EXPECT_EQ(window.right - window.left, 550);
    EXPECT_EQ(window.bottom - window.top, 385);
    EXPECT_EQ(client.right, 550);
    EXPECT_EQ(client.bottom, 385);
    // Any point of its surface drags it.
    EXPECT_EQ(::SendMessageW(wizard, WM_NCHITTEST, 0, MAKELPARAM(300, 200)), HTCAPTION);

    ASSERT_TRUE(OnAgreementPage(wizard));
    EXPECT_FALSE(IsShown(wizard, IDC_CHK_LAUNCH));
    EXPECT_FALSE(IsShown(wizard, IDC_STATIC_SPACE));
    EXPECT_FALSE(IsChecked(wizard, IDC_CHK_AGREE));
    EXPECT_FALSE(IsEnabled(wizard, IDC_BTN_INSTALL));

    // A click that reaches the disabled button all the same does not start anything.
    Click(wizard, IDC_BTN_INSTALL);
    EXPECT_TRUE(OnAgreementPage(wizard));

    Click(wizard, IDC_CHK_AGREE);
    EXPECT_TRUE(IsChecked(wizard, IDC_CHK_AGREE));
    EXPECT_TRUE(IsEnabled(wizard, IDC_BTN_INSTALL));
    Click(wizard, IDC_CHK_AGREE);
    EXPECT_FALSE(IsChecked(wizard, IDC_CHK_AGREE));
    EXPECT_FALSE(IsEnabled(wizard, IDC_BTN_INSTALL));

    StartInstalling(wizard);
    EXPECT_TRUE(OnInstallPage(wizard));

    ASSERT_TRUE(WaitFor([&] { return OnFinishPage(wizard); }, kInstallTimeoutMs));
    EXPECT_TRUE(IsShown(wizard, IDC_CHK_LAUNCH));
    EXPECT_TRUE(IsChecked(wizard, IDC_CHK_LAUNCH));
    EXPECT_TRUE(ProductInstalled());
    EXPECT_TRUE(ShortcutsMade());
    EXPECT_EQ(FindProcessWindow(setup.id(), kMessageBoxTitle), nullptr);

    Click(wizard, IDC_BTN_FINISH);
    ExpectEndedStartingTheProduct(setup);
}

// The product started from the finish page may take "OnlyRun" as its own: the installer has let
// go of it by then.
TEST(WizardRun, ProductStartedFromTheFinishPageFindsOnlyRunFree)
{
    const std::string archive = ZipBuilder()
                                    .File("StartUp.exe", ReadFileBytes(BuildFile(L"tests/wizard/launch_witness.exe")))
                                    .File("LocalConfig.xml", SampleProductEntry("LocalConfig.xml"))
                                    .Build();
    TempFolder folder;
    CopySetupWithResource(folder / L"setup.exe", L"INSTALLDATA", 199, &archive);
    Process setup(folder / L"setup.exe", L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);
    // A handle of the test's own keeps the mutex in being once setup.exe has ended: the launcher
    // then tells a mutex set free from one that setup.exe still holds or ended holding.
    const framework::KernelHandle onlyRun(::OpenMutexW(SYNCHRONIZE, FALSE, L"OnlyRun"));
    ASSERT_TRUE(onlyRun);

    StartInstalling(wizard);
    ASSERT_TRUE(WaitFor([&] { return OnFinishPage(wizard); }, kInstallTimeoutMs));
    ASSERT_TRUE(IsChecked(wizard, IDC_CHK_LAUNCH));
    Click(wizard, IDC_BTN_FINISH);
    DWORD status = 0xDEADBEEF;
    ASSERT_TRUE(setup.WaitForExit(kExitTimeoutMs, status));
    EXPECT_EQ(status, 0u);

    const std::wstring seen = InstallFolder() + L"launch-seen.txt";
    ASSERT_TRUE(WaitFor([&] { return FileExists(seen); }, kWindowTimeoutMs));
    EXPECT_EQ(ReadFileBytes(seen), "OnlyRun free\r\n");
}

TEST(WizardRun, SecondInstanceShowsAlreadyRunningAndExitsZero)
{
    Process first(SetupExePath(), L"");
    const HWND wizard = WaitForProcessWindow(first.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);

    Process second(SetupExePath(), L"");
    const HWND box = WaitForProcessWindow(second.id(), kMessageBoxTitle, kWindowTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(::GetDlgItem(box, IDC_BTN_MSG_OK), nullptr);
    EXPECT_EQ(::GetDlgItem(box, IDC_BTN_MSG_CANCEL), nullptr);
    EXPECT_EQ(FindProcessWindow(second.id(), kWizardTitle), nullptr);

    Click(box, IDC_BTN_MSG_OK);
    DWORD status = 0xDEADBEEF;
    ASSERT_TRUE(second.WaitForExit(kExitTimeoutMs, status));
    EXPECT_EQ(status, 0u);

    // The first instance goes on undisturbed, and its close button ends it on page 0.
    EXPECT_TRUE(OnAgreementPage(wizard));
    Click(wizard, IDC_BTN_CLOSE);
    ASSERT_TRUE(first.WaitForExit(kExitTimeoutMs, status));
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(ProductInstalled());
}

TEST(WizardRun, EscapeWhileInstallingEndsTheWizardAndTheInstallationFinishes)
{
    Process setup(SetupExePath(), L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);
    StartInstalling(wizard);
    ASSERT_TRUE(OnInstallPage(wizard));

    // Escape as the dialog manager sees it: a key press in the wizard.
    ::PostMessageW(wizard, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(wizard); }, kWindowTimeoutMs));
    EXPECT_EQ(FindProcessWindow(setup.id(), kMessageBoxTitle), nullptr);
    EXPECT_EQ(FindProcessWindow(setup.id(), L"安装向导"), nullptr);

    // The process stays until the installation it had started is complete, then ends normally.
    DWORD status = 0xDEADBEEF;
    ASSERT_TRUE(setup.WaitForExit(kInstallTimeoutMs, status));
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(ProductInstalled());
    EXPECT_TRUE(ShortcutsMade());
}

TEST(WizardRun, QuestionsAnsweredNoKeepInstallingAndEnterEndsWithoutLaunching)
{
    Process setup(SetupExePath(), L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);
    StartInstalling(wizard);
    ASSERT_TRUE(OnInstallPage(wizard));

    // 取消 asks in the installer's box (是 / 否); 否 leaves the installation running.
    PostClick(wizard, IDC_BTN_CANCEL);
    const HWND question = WaitForProcessWindow(setup.id(), kMessageBoxTitle, kWindowTimeoutMs);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(::GetDlgItem(question, IDC_BTN_MSG_OK), nullptr);
    ASSERT_NE(::GetDlgItem(question, IDC_BTN_MSG_CANCEL), nullptr);
    Click(question, IDC_BTN_MSG_CANCEL);
    // The close button asks in the system's box; its No does the same.
    PostClick(wizard, IDC_BTN_CLOSE);
    const HWND close = WaitForProcessWindow(setup.id(), L"安装向导", kWindowTimeoutMs);
    ASSERT_NE(close, nullptr);
    ::SendMessageW(close, WM_COMMAND, IDNO, 0);

    ASSERT_TRUE(WaitFor([&] { return OnFinishPage(wizard); }, kInstallTimeoutMs));
    EXPECT_TRUE(ProductInstalled());
    EXPECT_TRUE(IsChecked(wizard, IDC_CHK_LAUNCH));
    // Enter ends the wizard as IDOK does: without starting the product, whatever the box says.
    ::PostMessageW(wizard, WM_KEYDOWN, VK_RETURN, 1);
    ExpectEndedStartingNothing(setup);
}

// The ids of the controls that the next stops presses of Tab reach.
std::vector<int> TabRound(HWND dialog, size_t stops)
{
    std::vector<int> visited;
    for (size_t i = 0; i < stops; ++i) visited.push_back(PressTab(dialog));
    return visited;
}

// Whether a round that started anywhere visits expected in this order.
::testing::AssertionResult SameRound(std::vector<int> visited, const std::vector<int>& expected)
{
    std::string ids;
    for (const int id : visited) ids += std::to_string(id) + " ";
    const auto first = std::find(visited.begin(), visited.end(), expected.front());
    if (first != visited.end()) std::rotate(visited.begin(), first, visited.end());
    if (visited == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "Tab visits " << ids;
}

// Presses Tab until control id has the focus; false when it never gets it.
bool TabTo(HWND dialog, int id)
{
    for (int i = 0; i < 10 && FocusedId(dialog) != id; ++i) {
        if (PressTab(dialog) == 0) return false;
    }
    return FocusedId(dialog) == id;
}

class KeyboardOnly : public ::testing::TestWithParam<UINT> {};

// A user without a mouse: Tab in reading order, Space on the check box, Space or Enter on 安装,
// then Tab to 完成 and Space.
TEST_P(KeyboardOnly, TabSpaceAndEnterInstallTheProductAndEndTheWizard)
{
    Process setup(SetupExePath(), L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WaitFor([&] { return FocusedId(wizard) != 0; }, kWindowTimeoutMs));

    // 安装 is not a stop while it is disabled.
    EXPECT_TRUE(SameRound(TabRound(wizard, 5), {IDC_EDIT_AGREEMENT, IDC_CHK_AGREE, IDC_BTN_CANCEL, IDC_BTN_MIN, IDC_BTN_CLOSE}));
    ASSERT_TRUE(TabTo(wizard, IDC_CHK_AGREE));
    PressKey(wizard, VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return IsChecked(wizard, IDC_CHK_AGREE) && IsEnabled(wizard, IDC_BTN_INSTALL); }, kWindowTimeoutMs));
    ASSERT_EQ(PressTab(wizard), IDC_BTN_INSTALL);
    // The focused bitmap button is the default one, as a focused push button is.
    EXPECT_EQ(::SendMessageW(wizard, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_BTN_INSTALL, DC_HASDEFID));
    PressKey(wizard, GetParam());
    ASSERT_TRUE(WaitFor([&] { return !IsShown(wizard, IDC_BTN_INSTALL); }, kWindowTimeoutMs));
    ASSERT_TRUE(WaitFor([&] { return OnFinishPage(wizard); }, kInstallTimeoutMs));
    EXPECT_TRUE(ProductInstalled());

    EXPECT_TRUE(SameRound(TabRound(wizard, 4), {IDC_CHK_LAUNCH, IDC_BTN_FINISH, IDC_BTN_MIN, IDC_BTN_CLOSE}));
    ASSERT_TRUE(TabTo(wizard, IDC_BTN_FINISH));
    ASSERT_TRUE(IsChecked(wizard, IDC_CHK_LAUNCH));
    PressKey(wizard, VK_SPACE);
    // 完成 pressed, not IDOK: the product starts.
    ExpectEndedStartingTheProduct(setup);
}

INSTANTIATE_TEST_SUITE_P(WizardRun, KeyboardOnly, ::testing::Values(VK_SPACE, VK_RETURN),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return std::string(info.param == VK_SPACE ? "InstallPressedWithSpace" : "InstallPressedWithEnter");
                         });

bool Has(const std::vector<AccessibleEntry>& tree, long role, const std::wstring& name)
{
    return std::any_of(tree.begin(), tree.end(), [&](const AccessibleEntry& e) { return e.role == role && e.name == name; });
}

bool Named(const std::vector<AccessibleEntry>& tree, const std::wstring& name)
{
    return std::any_of(tree.begin(), tree.end(), [&](const AccessibleEntry& e) { return e.name == name; });
}

// The entry whose name begins with prefix; an empty one when there is none.
AccessibleEntry Find(const std::vector<AccessibleEntry>& tree, const std::wstring& prefix)
{
    for (const AccessibleEntry& entry : tree) {
        if (entry.name.compare(0, prefix.size(), prefix) == 0) return entry;
    }
    return AccessibleEntry();
}

// The progress values that setup.exe announces, read as they arrive (the thread pumps messages).
class ProgressAnnouncements {
public:
    explicit ProgressAnnouncements(DWORD processId)
        : m_hook(::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &Heard, processId, 0,
                                   WINEVENT_OUTOFCONTEXT))
    {
        s_heard = &m_values;
    }
    ~ProgressAnnouncements()
    {
        if (m_hook) ::UnhookWinEvent(m_hook);
        s_heard = nullptr;
    }
    static void Pump()
    {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    const std::vector<std::wstring>& values() const { return m_values; }

private:
    static void CALLBACK Heard(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        framework::ComPtr<IAccessible> accessible;
        VARIANT part{};
        if (!s_heard || FAILED(::AccessibleObjectFromEvent(window, object, child,
                                                           reinterpret_cast<IAccessible**>(accessible.receive()), &part))) {
            return;
        }
        BSTR value = nullptr;
        VARIANT kind{};
        if (SUCCEEDED(accessible->get_accRole(part, &kind)) && kind.vt == VT_I4 && kind.lVal == ROLE_SYSTEM_PROGRESSBAR &&
            SUCCEEDED(accessible->get_accValue(part, &value)) && value) {
            s_heard->push_back(value);
        } else {
            s_heard->push_back(L"not the progress bar");
        }
        ::SysFreeString(value);
        ::VariantClear(&part);
    }

    static std::vector<std::wstring>* s_heard;
    std::vector<std::wstring> m_values;
    HWINEVENTHOOK m_hook;
};

std::vector<std::wstring>* ProgressAnnouncements::s_heard = nullptr;

// What a screen reader finds on each page and in the question of 取消, which it answers from
// the keyboard; and the progress it hears.
TEST(WizardRun, ScreenReaderReadsThePaintedTextsTheProgressAndTheGlyphButtons)
{
    const framework::ComApartment com;
    Process setup(SetupExePath(), L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);

    std::vector<AccessibleEntry> tree = ReadAccessibleTree(wizard);
    EXPECT_TRUE(Has(tree, ROLE_SYSTEM_STATICTEXT, L"绘途-安装向导"));
    EXPECT_EQ(Find(tree, L"步骤").value, L"选择");
    EXPECT_EQ(Find(tree, L"步骤").name, L"步骤：选择 › 安装 › 完成");
    for (const wchar_t* button : {L"最小化", L"关闭", L"安装", L"取消", L"我已阅读并同意以上许可协议"}) {
        EXPECT_TRUE(Named(tree, button)) << button;
    }
    EXPECT_FALSE(Named(tree, L"选择程序安装目录"));  // under the agreement box

    ProgressAnnouncements announcements(setup.id());
    StartInstalling(wizard);
    ASSERT_TRUE(OnInstallPage(wizard));
    tree = ReadAccessibleTree(wizard);
    EXPECT_TRUE(Has(tree, ROLE_SYSTEM_STATICTEXT, L"安装状态"));
    EXPECT_TRUE(Has(tree, ROLE_SYSTEM_STATICTEXT, L"正在安装绘途，请稍候..."));
    EXPECT_EQ(Find(tree, L"步骤").value, L"安装");
    const AccessibleEntry progress = Find(tree, L"安装进度");
    EXPECT_EQ(progress.role, ROLE_SYSTEM_PROGRESSBAR);
    int percent = -1;
    EXPECT_EQ(swscanf(progress.value.c_str(), L"%d%%", &percent), 1) << progress.value;
    EXPECT_TRUE(percent >= 0 && percent <= 100) << percent;
    EXPECT_TRUE(Named(tree, L"取消"));

    // 取消 from the keyboard asks; the box is read and answered 否 with Tab and Enter.
    ASSERT_TRUE(TabTo(wizard, IDC_BTN_CANCEL));
    PressKey(wizard, VK_SPACE);
    const HWND question = WaitForProcessWindow(setup.id(), kMessageBoxTitle, kWindowTimeoutMs);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(WaitFor([&] { return FocusedId(question) != 0; }, kWindowTimeoutMs));
    const std::vector<AccessibleEntry> box = ReadAccessibleTree(question);
    std::wstring text;
    for (const AccessibleEntry& entry : box) {
        if (entry.role == ROLE_SYSTEM_STATICTEXT && entry.name != L"提示") text += entry.name;
    }
    EXPECT_EQ(text, framework::LoadStringResource(IDS_CONFIRM_CANCEL));
    for (const wchar_t* button : {L"是", L"否", L"关闭"}) EXPECT_TRUE(Named(box, button)) << button;
    EXPECT_TRUE(SameRound(TabRound(question, 3), {IDC_BTN_MSG_OK, IDC_BTN_MSG_CANCEL, IDC_BTN_CLOSE}));
    ASSERT_TRUE(TabTo(question, IDC_BTN_MSG_CANCEL));
    PressKey(question, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(question); }, kWindowTimeoutMs));
    EXPECT_TRUE(::IsWindow(wizard));

    ASSERT_TRUE(WaitFor([&] { ProgressAnnouncements::Pump(); return OnFinishPage(wizard); }, kInstallTimeoutMs));
    tree = ReadAccessibleTree(wizard);
    EXPECT_TRUE(Has(tree, ROLE_SYSTEM_STATICTEXT, L"完成状态"));
    EXPECT_TRUE(Has(tree, ROLE_SYSTEM_STATICTEXT, L"绘途安装完成，单击“完成”退出。"));
    EXPECT_EQ(Find(tree, L"步骤").value, L"完成");
    EXPECT_TRUE(Named(tree, L"完成"));
    EXPECT_TRUE(Named(tree, L"立即启动绘途"));
    EXPECT_FALSE(Named(tree, L"安装进度"));

    // Every tenth point and the end, not every point.
    const std::vector<std::wstring>& heard = announcements.values();
    EXPECT_GE(heard.size(), 2u);
    EXPECT_LE(heard.size(), 11u);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), L"100%");

    // Off the buttons, Enter keeps its meaning: the wizard ends as by IDOK, starting nothing.
    ASSERT_TRUE(TabTo(wizard, IDC_CHK_LAUNCH));
    ASSERT_TRUE(IsChecked(wizard, IDC_CHK_LAUNCH));
    PressKey(wizard, VK_RETURN);
    ExpectEndedStartingNothing(setup);
}

TEST(WizardRun, UnusableAgreementDocumentShowsTheErrorAndEndsBeforeTheWizard)
{
    const char* const documents[] = {
        "not a document at all",
        "<!-- no root element -->",
        "<R><Agreement><Title>T</Title></Agreement></R>",
        "<R dataSize=\"1\"><Title>T</Title></R>",
        "<R dataSize=\"1\"><Agreement><NewLine>A</NewLine></Agreement></R>",
    };
    for (const std::string document : documents) {
        TempFolder folder;
        const std::wstring exe = folder / L"setup.exe";
        CopySetupWithResource(exe, L"INSTALLCONF", IDR_INSTALLCONF, &document);
        Process setup(exe, L"");
        const HWND box = WaitForProcessWindow(setup.id(), kMessageBoxTitle, kWindowTimeoutMs);
        ASSERT_NE(box, nullptr) << document;
        EXPECT_NE(::GetDlgItem(box, IDC_BTN_MSG_OK), nullptr) << document;
        EXPECT_EQ(::GetDlgItem(box, IDC_BTN_MSG_CANCEL), nullptr) << document;
        EXPECT_EQ(FindProcessWindow(setup.id(), kWizardTitle), nullptr) << document;
        Click(box, IDC_BTN_MSG_OK);
        DWORD status = 0xDEADBEEF;
        ASSERT_TRUE(setup.WaitForExit(kExitTimeoutMs, status)) << document;
        EXPECT_EQ(status, 0u) << document;
        EXPECT_FALSE(FileExists(TempPath() + L"~temp.install.conf")) << document;
    }
}

// Two ways for the product archive not to reach the temporary folder: a setup.exe built without
// it, and a folder in the way of the file it is written to.
class UnwritablePayload : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam()) {
            m_exe = BuildFile(L"variants/without-product/setup.exe");
        } else {
            MakeFolders(TempPath() + L"~temp.install.data.zip");
        }
    }

    std::wstring m_exe = SetupExePath();
};

TEST_P(UnwritablePayload, EndsWithTheFailureShownAndNoLaunch)
{
    const std::wstring& exe = m_exe;
    // An earlier launcher in the install folder: nothing may start it after a failed run.
    MakeFolders(InstallFolder());
    ASSERT_TRUE(::CopyFileW(BuildFile(L"sample/StartUp.exe").c_str(), (InstallFolder() + L"StartUp.exe").c_str(), FALSE));

    Process setup(exe, L"");
    const HWND wizard = WaitForProcessWindow(setup.id(), kWizardTitle, kWindowTimeoutMs);
    ASSERT_NE(wizard, nullptr);
    StartInstalling(wizard);

    const HWND box = WaitForProcessWindow(setup.id(), kMessageBoxTitle, kInstallTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(::GetDlgItem(box, IDC_BTN_MSG_OK), nullptr);
    EXPECT_EQ(::GetDlgItem(box, IDC_BTN_MSG_CANCEL), nullptr);
    Click(box, IDC_BTN_MSG_OK);

    ASSERT_TRUE(WaitFor([&] { return OnFinishPage(wizard); }, kWindowTimeoutMs));
    EXPECT_FALSE(IsShown(wizard, IDC_CHK_LAUNCH));
    EXPECT_FALSE(IsChecked(wizard, IDC_CHK_LAUNCH));

    Click(wizard, IDC_BTN_FINISH);
    ExpectEndedStartingNothing(setup);
}

INSTANTIATE_TEST_SUITE_P(WizardRun, UnwritablePayload, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "SetupWithoutProduct" : "FolderInTheWay");
                         });

}  // namespace
