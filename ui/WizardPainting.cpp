// The wizard's painting: every page is composed off-screen in the erase-background handler
// (background, title strip, step indicator, heading, texts, progress bar) and copied to the
// window in one operation. The same parts, with their texts and places, are what screen readers
// learn of the page (PaintedParts).
#include "installer/ExcelToolInstallerDlg.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "ui/BitmapDrawing.h"

namespace {

const wchar_t* const g_szStepLabels[] = {L"选择", L"安装", L"完成"};
const wchar_t* const g_szPageHeadings[] = {L"选择程序安装目录", L"安装状态", L"完成状态"};
constexpr RECT kTitleRect{10, 0, 300, 30};
constexpr RECT kStepsRect{25, 46, 150, 70};
constexpr RECT kInstallingLineRect{25, 285, 350, 303};
constexpr RECT kFinishLineRect{25, 275, 450, 293};
constexpr RECT kProgressRect{25, 315, 513, 327};
// The progress bar's place among the parts of the installing page.
constexpr size_t kProgressPart = 4;
constexpr int g_nStepMarkLeft = 19;
constexpr UINT kTextFlags = DT_SINGLELINE | DT_VCENTER;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDarkGrey = RGB(51, 51, 51);
constexpr COLORREF kLightGrey = RGB(168, 168, 168);

void DrawLine(HDC dc, const std::wstring& text, RECT rect)
{
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, kTextFlags);
}

RECT StepLabelRect(int step)
{
    return RECT{25 + 50 * step, 46, 50 + 50 * step, 70};
}

// A heading's rectangle: 10 pixels (at 96 DPI) wider than its text in the bold font selected
// into dc. The text is measured at the scale; the rest is scaled from its 96-DPI places.
RECT HeadingRect(HDC dc, const wchar_t* text, const framework::DpiScale& scale)
{
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    const int top = scale.Scaled(250);
    return RECT{scale.Scaled(25), top, scale.Scaled(35) + extent.cx, top + extent.cy};
}

framework::PaintedPart Text(const std::wstring& text, const RECT& rect)
{
    return framework::PaintedPart{ROLE_SYSTEM_STATICTEXT, text, L"", rect};
}

}  // namespace

BOOL CExcelToolInstallerDlg::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRectOrSaved();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    framework::OffscreenSurface surface(dc, width, height);
    const HDC memory = surface.dc();
    framework::FillSolid(memory, RECT{0, 0, width, height}, kWhite);
    DrawBackground(memory);
    DrawTitleButtonStrips(memory);
    {
        const framework::SelectScope font(memory, m_fontBold.get());
        DrawTitle(memory);
        DrawSteps(memory);
        const int page = m_nPage;
        DrawPageHeader(memory, g_szPageHeadings[page]);
        if (page != 0) {
            ::SetTextColor(memory, kBlack);
            DrawLine(memory, PageLine(page), m_scale.Scaled(page == 1 ? kInstallingLineRect : kFinishLineRect));
        }
        if (page == 1) {
            DrawProgressFrame(memory);
            DrawProgressBar(memory);
        }
    }
    surface.CopyTo(dc);
    return TRUE;
}

void CExcelToolInstallerDlg::DrawBackground(HDC dc)
{
    PaintBitmap(dc, m_scale, IDB_WIZARD_BACKGROUND, POINT{0, 0});
}

void CExcelToolInstallerDlg::DrawTitleButtonStrips(HDC dc)
{
    for (const CBmpBtn* button : {&m_btnMin, &m_btnClose}) {
        const RECT rect = button->GetRectInParent();
        PaintBitmap(dc, m_scale, IDB_TITLE_BUTTON_STRIP, POINT{rect.left - m_scale.Scaled(3), rect.top});
    }
}

void CExcelToolInstallerDlg::DrawTitle(HDC dc)
{
    ::SetTextColor(dc, kBlack);
    ::SetBkMode(dc, TRANSPARENT);
    DrawLine(dc, m_strTitle, m_scale.Scaled(kTitleRect));
}

void CExcelToolInstallerDlg::DrawSteps(HDC dc)
{
    const int page = m_nPage;
    ::SetTextColor(dc, kWhite);
    ::SelectObject(dc, m_fontBold.get());
    DrawLine(dc, g_szStepLabels[page], m_scale.Scaled(StepLabelRect(page)));
    PaintBitmap(dc, m_scale, IDB_STEP_MARKER, m_scale.Scaled(POINT{g_nStepMarkLeft + 50 * page, 69}));
    {
        framework::Pen pen(::CreatePen(PS_SOLID, m_scale.Scaled(1), kDarkGrey));
        const framework::SelectScope selected(dc, pen.get());
        for (const int left : {60, 110}) {
            const POINT arrow[] = {m_scale.Scaled(POINT{left, 53}), m_scale.Scaled(POINT{left + 4, 57}),
                                   m_scale.Scaled(POINT{left - 1, 62})};
            ::Polyline(dc, arrow, 3);
        }
    }
    ::SelectObject(dc, m_fontGui.get());
    ::SetTextColor(dc, kDarkGrey);
    for (int step = 0; step < 3; ++step) {
        if (step != page) DrawLine(dc, g_szStepLabels[step], m_scale.Scaled(StepLabelRect(step)));
    }
}

void CExcelToolInstallerDlg::DrawPageHeader(HDC dc, const wchar_t* text)
{
    ::SetTextColor(dc, kBlack);
    const framework::SelectScope font(dc, m_fontBold.get());
    const RECT rect = HeadingRect(dc, text, m_scale);
    DrawLine(dc, text, rect);
    const int y = (rect.top + rect.bottom) / 2 - m_scale.Scaled(1);
    const RECT client = GetClientRectOrSaved();
    PaintBitmap(dc, m_scale, IDB_HEADER_RULE, POINT{rect.right, y}, POINT{client.right - client.left - m_scale.Scaled(20), y},
                m_scale.Scaled(1));
}

void CExcelToolInstallerDlg::DrawProgressFrame(HDC dc)
{
    // The closed outline through (25, 315), (512, 315), (512, 326) and (25, 326), as the four
    // one-pixel sides a pen draws along it, each as thick as one pixel at the scale.
    const RECT sides[] = {{25, 315, 512, 316}, {512, 315, 513, 326}, {26, 326, 513, 327}, {25, 316, 26, 327}};
    for (const RECT& side : sides) framework::FillSolid(dc, m_scale.Scaled(side), kLightGrey);
    framework::FillSolid(dc, m_scale.Scaled(RECT{26, 316, 511, 325}), kWhite);
}

void CExcelToolInstallerDlg::DrawProgressBar(HDC dc)
{
    const int width = m_nProgress * 483 / 100;
    TileBitmap(dc, m_scale, IDB_PROGRESS_FILL, m_scale.Scaled(RECT{27, 317, 27 + width, 324}));
}

HBRUSH CExcelToolInstallerDlg::OnCtlColor(HDC dc, HWND control)
{
    switch (::GetDlgCtrlID(control)) {
    case IDC_STATIC_SPACE:
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    case IDC_CHK_LAUNCH:
    case IDC_CHK_AGREE: {
        // The check boxes show the dialog's painting behind them and draw their label on it.
        const RECT rect = framework::Control(control).GetRectInParent();
        const framework::WindowDC dialog(GetSafeHwnd());
        ::BitBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, dialog.get(), rect.left, rect.top, SRCCOPY);
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    default:
        return nullptr;
    }
}

std::wstring CExcelToolInstallerDlg::PageLine(int page) const
{
    if (page == 1) return framework::Format(L"正在安装%ls，请稍候...", m_strProductName.c_str());
    // A failed installation is not reported as a finished one.
    if (ProductInstalled()) return framework::Format(L"%ls安装完成，单击“完成”退出。", m_strProductName.c_str());
    return framework::Format(framework::LoadStringResource(IDS_FINISH_FAILED).c_str(), m_strProductName.c_str());
}

std::vector<framework::PaintedPart> CExcelToolInstallerDlg::PaintedParts() const
{
    const int page = m_nPage;
    std::wstring steps = L"步骤：";
    for (int step = 0; step < 3; ++step) steps += (step ? L" › " : L"") + std::wstring(g_szStepLabels[step]);
    std::vector<framework::PaintedPart> parts{
        Text(m_strTitle, m_scale.Scaled(kTitleRect)),
        framework::PaintedPart{ROLE_SYSTEM_STATICTEXT, steps, g_szStepLabels[page], m_scale.Scaled(kStepsRect)},
    };
    // The agreement page's heading lies under the agreement box.
    if (page == 0) return parts;
    const framework::MemoryDC measuring(nullptr);
    const framework::SelectScope font(measuring.get(), m_fontBold.get());
    parts.push_back(Text(g_szPageHeadings[page], HeadingRect(measuring.get(), g_szPageHeadings[page], m_scale)));
    parts.push_back(Text(PageLine(page), m_scale.Scaled(page == 1 ? kInstallingLineRect : kFinishLineRect)));
    if (page == 1) {
        parts.push_back(framework::PaintedPart{ROLE_SYSTEM_PROGRESSBAR, L"安装进度", framework::Format(L"%d%%", m_nProgress.load()),
                                               m_scale.Scaled(kProgressRect)});
    }
    return parts;
}

void CExcelToolInstallerDlg::AnnounceProgress(int before) const
{
    // Every tenth point and the end: often enough to follow, seldom enough to listen to.
    const int now = m_nProgress;
    const HWND wizard = GetSafeHwnd();
    if (wizard && (now / 10 != before / 10 || now == 100)) framework::NotifyPartValueChanged(wizard, kProgressPart);
}
