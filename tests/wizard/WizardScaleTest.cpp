// The wizard and its message box at the display scales of 100 % to 200 %. The display DPI is set
// in this test's own Wine prefix (LogPixels) and the wizard runs in a program of its own started
// after that (a death test's child), as setup.exe would start on such a display: its window and
// every control must be at the scale's size, and every text must fit the control or painted
// area it is drawn in, measured with the font the window uses. A wizard moved to a monitor of
// another scale (WM_DPICHANGED) lays itself out again at that scale.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "controls/MsgTextLayout.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"
#include "framework/Text.h"
#include "installer/ExcelToolInstallerDlg.h"
#include "resources/resource.h"
#include "tests/support/PixelSurface.h"
#include "tests/wizard/WizardDriver.h"

using namespace wizard_driver;

namespace {

constexpr DWORD kTimeoutMs = 120000;

// The wizard, with the fonts and the scale it paints with in view.
class ScaledWizard : public CExcelToolInstallerDlg {
public:
    ScaledWizard() : CExcelToolInstallerDlg(L"") {}
    HFONT BoldFont() const { return m_fontBold.get(); }
    HFONT GuiFont() const { return m_fontGui.get(); }
    CBmpBtn& InstallButton() { return m_btnInstall; }
};

// Whether the install button's normal face is the bitmap drawn for dpi: the middle of its lower
// edge, which a bitmap drawn for a smaller scale does not reach.
bool InstallFaceDrawnFor(ScaledWizard& wizard, int dpi)
{
    RECT client{};
    ::GetClientRect(wizard.InstallButton().GetSafeHwnd(), &client);
    testing_support::PixelSurface face(client.right, client.bottom, RGB(0, 255, 0));
    wizard.InstallButton().ComposeFace(face.dc(), client.right, client.bottom);
    const framework::Bitmap drawn = framework::DpiScale(dpi).LoadBitmap(IDB_BTN_NORMAL);
    const testing_support::BitmapPixels bitmap = testing_support::ReadPixels(drawn.get());
    return bitmap.width == client.right && bitmap.height == client.bottom &&
           face.at(client.right / 2, client.bottom - 1) == bitmap.at(bitmap.width / 2, bitmap.height - 1);
}

// What went wrong, gathered on the driving thread and reported by the program's end.
using Faults = std::vector<std::string>;

// A 96-DPI rectangle at dpi, unrounded, against what the window has: within two pixels.
void ExpectScaled(Faults& faults, const char* what, const RECT& actual, const RECT& at96, int dpi)
{
    const double s = dpi / 96.0;
    const double expected[] = {at96.left * s, at96.top * s, at96.right * s, at96.bottom * s};
    const LONG got[] = {actual.left, actual.top, actual.right, actual.bottom};
    for (int i = 0; i < 4; ++i) {
        if (std::abs(got[i] - expected[i]) > 2.0) {
            faults.push_back(framework::WideToAnsi(framework::Format(
                                 L"%hs at (%ld, %ld, %ld, %ld), not at %d DPI's (%.1f, %.1f, %.1f, %.1f)", what, actual.left,
                                 actual.top, actual.right, actual.bottom, dpi, expected[0], expected[1], expected[2],
                                 expected[3]))
                                 .str());
            return;
        }
    }
}

SIZE Extent(HFONT font, const std::wstring& text)
{
    const framework::MemoryDC dc(nullptr);
    const framework::SelectScope selected(dc.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// text in font within width × height (less room for a check box's glyph where there is one).
void ExpectFits(Faults& faults, const std::wstring& text, HFONT font, int width, int height)
{
    const SIZE size = Extent(font, text);
    if (size.cx > width || size.cy > height) {
        faults.push_back(framework::WideToAnsi(framework::Format(L"\"%ls\" takes %ld × %ld, not within %d × %d", text.c_str(),
                                                                 size.cx, size.cy, width, height))
                             .str());
    }
}

void ExpectFitsRect(Faults& faults, const std::wstring& text, HFONT font, const RECT& rect)
{
    ExpectFits(faults, text, font, rect.right - rect.left, rect.bottom - rect.top);
}

RECT RectOf(HWND dialog, int id)
{
    return framework::Control(::GetDlgItem(dialog, id)).GetRectInParent();
}

HFONT FontOf(HWND dialog, int id)
{
    return reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(dialog, id), WM_GETFONT, 0, 0));
}

std::wstring TextOf(HWND dialog, int id)
{
    return framework::Control(::GetDlgItem(dialog, id)).GetWindowText();
}

// A control at its place for the scale, its text within it; a check box keeps room for its glyph.
void ExpectControl(Faults& faults, HWND dialog, int id, const RECT& at96, int dpi, int glyph = 0)
{
    const RECT rect = RectOf(dialog, id);
    ExpectScaled(faults, framework::WideToAnsi(framework::Format(L"control %d", id)).str().c_str(), rect, at96, dpi);
    const std::wstring text = TextOf(dialog, id);
    if (!text.empty()) {
        ExpectFits(faults, text, FontOf(dialog, id), rect.right - rect.left - ::MulDiv(glyph, dpi, 96), rect.bottom - rect.top);
    }
}

void ExpectWindowSize(Faults& faults, const char* what, HWND window, SIZE at96, int dpi)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ExpectScaled(faults, what, RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top}, RECT{0, 0, at96.cx, at96.cy}, dpi);
}

const wchar_t* const kStepLabels[] = {L"选择", L"安装", L"完成"};

// What every page shows at dpi: the window's size, the title-strip buttons, the title and the
// step labels (the current one in the bold font, the others in the GUI font).
void ExpectFrame(Faults& faults, HWND wizard, const ScaledWizard& fonts, int page, int dpi)
{
    const framework::DpiScale scale(dpi);
    ExpectWindowSize(faults, "the window", wizard, SIZE{550, 385}, dpi);
    ExpectControl(faults, wizard, IDC_BTN_MIN, RECT{499, 2, 521, 24}, dpi);
    ExpectControl(faults, wizard, IDC_BTN_CLOSE, RECT{525, 2, 547, 24}, dpi);
    ExpectFitsRect(faults, kWizardTitle, fonts.BoldFont(), scale.Scaled(RECT{10, 0, 300, 30}));
    for (int step = 0; step < 3; ++step) {
        ExpectFitsRect(faults, kStepLabels[step], step == page ? fonts.BoldFont() : fonts.GuiFont(),
                       scale.Scaled(RECT{25 + 50 * step, 46, 50 + 50 * step, 70}));
    }
}

// The room a check box's glyph and the gap after it take at 96 DPI.
constexpr int kCheckGlyph = 16;

void ExpectAgreementPage(Faults& faults, HWND wizard, const ScaledWizard& fonts, int dpi)
{
    ExpectFrame(faults, wizard, fonts, 0, dpi);
    ExpectControl(faults, wizard, IDC_EDIT_AGREEMENT, RECT{20, 75, 530, 315}, dpi);
    ExpectControl(faults, wizard, IDC_CHK_AGREE, RECT{20, 325, 220, 345}, dpi, kCheckGlyph);
    ExpectControl(faults, wizard, IDC_BTN_CANCEL, RECT{460, 356, 520, 377}, dpi);
    ExpectControl(faults, wizard, IDC_BTN_INSTALL, RECT{390, 356, 450, 377}, dpi);
}

void ExpectInstallPage(Faults& faults, HWND wizard, const ScaledWizard& fonts, int dpi)
{
    ExpectFrame(faults, wizard, fonts, 1, dpi);
    ExpectFitsRect(faults, L"正在安装绘途，请稍候...", fonts.GuiFont(), framework::DpiScale(dpi).Scaled(RECT{25, 285, 350, 303}));
}

void ExpectFinishPage(Faults& faults, HWND wizard, const ScaledWizard& fonts, int dpi)
{
    ExpectFrame(faults, wizard, fonts, 2, dpi);
    // The check box reaches past the window's right edge; its text must fit the window.
    ExpectControl(faults, wizard, IDC_CHK_LAUNCH, RECT{25, 300, 555, 320}, dpi, kCheckGlyph);
    ExpectFits(faults, TextOf(wizard, IDC_CHK_LAUNCH), FontOf(wizard, IDC_CHK_LAUNCH), ::MulDiv(550 - 25 - kCheckGlyph, dpi, 96),
               ::MulDiv(20, dpi, 96));
    ExpectControl(faults, wizard, IDC_BTN_FINISH, RECT{460, 356, 520, 377}, dpi);
    ExpectFitsRect(faults, L"绘途安装完成，单击“完成”退出。", fonts.GuiFont(), framework::DpiScale(dpi).Scaled(RECT{25, 275, 450, 293}));
}

// The cancel question of the install page: the box, its buttons, and each row of its text in
// the font the box draws with (that of its buttons), with nothing of the text left out.
void ExpectQuestionBox(Faults& faults, HWND box, int dpi)
{
    ExpectWindowSize(faults, "the message box", box, SIZE{286, 148}, dpi);
    ExpectControl(faults, box, IDC_BTN_CLOSE, RECT{242, 1, 279, 19}, dpi);
    ExpectControl(faults, box, IDC_BTN_MSG_OK, RECT{175, 122, 223, 141}, dpi);
    ExpectControl(faults, box, IDC_BTN_MSG_CANCEL, RECT{228, 122, 276, 141}, dpi);
    const framework::DpiScale scale(dpi);
    const HFONT font = FontOf(box, IDC_BTN_MSG_OK);
    const framework::MemoryDC measuring(nullptr);
    const framework::SelectScope selected(measuring.get(), font);
    const MeasureText measure = MeasureIn(measuring.get());
    const std::wstring text = framework::LoadStringResource(IDS_CONFIRM_CANCEL);
    std::wstring shown;
    for (const TextRow& row : LayoutMessageText(MSGDLG_YESNO, text, -1, [&](const std::wstring& t) { return scale.UnscaledUp(measure(t)); })) {
        ExpectFitsRect(faults, row.text, font, scale.Scaled(row.rect));
        shown += row.text;
    }
    if (shown != text) faults.push_back("the question is not shown whole");
}

// Ends the program with what was found: status 0 and "laid out at the scale" when nothing.
[[noreturn]] void Report(const Faults& faults)
{
    for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
    if (faults.empty()) std::fprintf(stderr, "laid out at the scale\n");
    std::fflush(stderr);
    std::_Exit(faults.empty() ? 0 : 1);
}

HWND WaitForOwnWindow(const wchar_t* title, Faults& faults)
{
    const HWND window = WaitForProcessWindow(::GetCurrentProcessId(), title, kTimeoutMs);
    if (!window) {
        faults.push_back(framework::WideToAnsi(framework::Format(L"no window \"%ls\"", title)).str());
        Report(faults);
    }
    return window;
}

// The wizard of this program through its three pages and the cancel question, checked at dpi.
void RunWizardAt(int dpi)
{
    Faults faults;
    ScaledWizard wizard;
    std::thread driver([&] {
        const HWND window = WaitForOwnWindow(kWizardTitle, faults);
        if (framework::WindowDpi(window) != dpi) faults.push_back("the window is not at the display's DPI");
        // Where GetDpiForWindow is missing (Windows 7, 8.1), the system's DPI.
        if (framework::WindowDpi(window, ::GetModuleHandleW(L"kernel32.dll")) != dpi) faults.push_back("no fallback DPI");
        ExpectAgreementPage(faults, window, wizard, dpi);
        Click(window, IDC_CHK_AGREE);
        Click(window, IDC_BTN_INSTALL);
        ExpectInstallPage(faults, window, wizard, dpi);
        PostClick(window, IDC_BTN_CANCEL);
        const HWND box = WaitForOwnWindow(kMessageBoxTitle, faults);
        ExpectQuestionBox(faults, box, dpi);
        Click(box, IDC_BTN_MSG_CANCEL);
        if (!WaitFor([&] { return IsShown(window, IDC_BTN_FINISH); }, kTimeoutMs)) faults.push_back("no finish page");
        ExpectFinishPage(faults, window, wizard, dpi);
        Click(window, IDC_CHK_LAUNCH);
        Click(window, IDC_BTN_FINISH);
    });
    wizard.RunWizard();
    wizard.WaitForBackgroundInstall();
    driver.join();
    Report(faults);
}

// The display DPI of this test's prefix, for the programs started from now on.
void SetDisplayDpi(int dpi)
{
    const DWORD value = static_cast<DWORD>(dpi);
    for (const auto& key : {std::pair<HKEY, const wchar_t*>{HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
                            std::pair<HKEY, const wchar_t*>{HKEY_CURRENT_CONFIG, L"Software\\Fonts"}}) {
        framework::RegKey opened;
        ASSERT_EQ(::RegCreateKeyExW(key.first, key.second, 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.receive(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(opened.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
                  ERROR_SUCCESS);
    }
}

class AtDisplayScale : public ::testing::TestWithParam<int> {};

TEST_P(AtDisplayScale, WizardAndQuestionAreAtTheScaleAndEveryTextFits)
{
    SetDisplayDpi(GetParam());
    EXPECT_EXIT(RunWizardAt(GetParam()), ::testing::ExitedWithCode(0), "laid out at the scale");
}

INSTANTIATE_TEST_SUITE_P(WizardScale, AtDisplayScale, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return "Dpi" + std::to_string(info.param); });

// Sends the wizard to a monitor of dpi, at the place the system suggests.
void MoveToMonitorOf(HWND wizard, int dpi, POINT at)
{
    RECT suggested{at.x, at.y, at.x + ::MulDiv(550, dpi, 96), at.y + ::MulDiv(385, dpi, 96)};
    ::SendMessageW(wizard, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(WizardScale, MovedToAMonitorOfAnotherScaleItLaysItselfOutThereAndKeepsItsState)
{
    Faults faults;
    ScaledWizard wizard;
    bool placed = false;
    bool kept = false;
    bool redrawn = false;
    std::thread driver([&] {
        const HWND window = WaitForOwnWindow(kWizardTitle, faults);
        const int dpi = framework::WindowDpi(window);
        Click(window, IDC_CHK_AGREE);
        MoveToMonitorOf(window, 144, POINT{40, 30});
        RECT moved{};
        ::GetWindowRect(window, &moved);
        placed = moved.left == 40 && moved.top == 30;
        ExpectAgreementPage(faults, window, wizard, 144);
        kept = IsChecked(window, IDC_CHK_AGREE) && IsEnabled(window, IDC_BTN_INSTALL) && !IsShown(window, IDC_BTN_FINISH);
        redrawn = InstallFaceDrawnFor(wizard, 144);
        MoveToMonitorOf(window, dpi, POINT{0, 0});
        ExpectAgreementPage(faults, window, wizard, dpi);
        Click(window, IDC_BTN_CLOSE);
    });
    wizard.RunWizard();
    driver.join();
    EXPECT_TRUE(placed) << "not at the suggested place";
    EXPECT_TRUE(kept) << "the agreement page lost its state";
    EXPECT_TRUE(redrawn) << "the buttons keep the bitmaps of the earlier scale";
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

// The program's manifest (setup.exe's, which this test program carries too).
std::string Manifest()
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!found) return std::string();
    return std::string(static_cast<const char*>(::LockResource(::LoadResource(module, found))), ::SizeofResource(module, found));
}

TEST(WizardScale, ManifestDeclaresPerMonitorAwarenessWithTheOlderFormsAsFallback)
{
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    // Windows 10 1703 on reads the first form it knows of the list; 8.1 reads dpiAware's "/pm",
    // Vista and 7 its "true".
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
              std::string::npos);
    // And the system takes it: this program's threads are per-monitor aware.
    using GetAwarenessFn = int(WINAPI*)(HANDLE);
    using GetContextFn = HANDLE(WINAPI*)();
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto context = framework::GetExport<GetContextFn>(user32, "GetThreadDpiAwarenessContext");
    const auto awareness = framework::GetExport<GetAwarenessFn>(user32, "GetAwarenessFromDpiAwarenessContext");
    ASSERT_TRUE(context && awareness);
    EXPECT_EQ(awareness(context()), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
}

}  // namespace
