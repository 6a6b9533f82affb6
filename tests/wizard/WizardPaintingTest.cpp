// The wizard's painting, drawn into memory and read back pixel by pixel: the progress bar, the
// step marker and labels, and the texts of the installing and finish pages. The installer
// object has no window here, as while minimised: the pages are composed from m_rcClient.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Text.h"
#include "framework/DpiScale.h"
#include "installer/ExcelToolInstallerDlg.h"
#include "resources/resource.h"
#include "tests/wizard/Canvas.h"

using namespace wizard_tests;

namespace {

constexpr int kWidth = 550;
constexpr int kHeight = 385;
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PaintedWizard : public CExcelToolInstallerDlg {
public:
    PaintedWizard() : CExcelToolInstallerDlg(L"")
    {
        m_fontBold = CreateBoldFont();
        m_rcClient = RECT{0, 0, kWidth, kHeight};
    }

    // Laid out at another display scale, as OnInitDialog lays out a window at dpi.
    void AtScale(int dpi)
    {
        m_scale = framework::DpiScale(dpi);
        m_fontBold = CreateBoldFont(m_scale);
        m_rcClient = m_scale.Scaled(RECT{0, 0, kWidth, kHeight});
    }

    void Show(int page, int progress = 0)
    {
        m_nPage = page;
        m_nProgress = progress;
    }
    void EndInstall(bool succeeded) { MarkInstallDone(succeeded); }

    using CExcelToolInstallerDlg::DrawBackground;
    using CExcelToolInstallerDlg::DrawProgressBar;
    using CExcelToolInstallerDlg::DrawProgressFrame;
    using CExcelToolInstallerDlg::DrawSteps;
    using CExcelToolInstallerDlg::DrawTitle;
    using CExcelToolInstallerDlg::OnEraseBkgnd;
};

int Luminance(COLORREF colour)
{
    return (299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour)) / 1000;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The bar's rows that the fill bitmap covers inside the white area (317 to 323).
int BarRows(const BitmapPixels& fill)
{
    return std::min(fill.height, 7);
}

bool ColumnIsFill(const Canvas& canvas, int x, const BitmapPixels& fill)
{
    for (int row = 0; row < BarRows(fill); ++row) {
        if (canvas.at(x, 317 + row) != fill.at((x - 27) % fill.width, row)) return false;
    }
    return true;
}

bool ColumnIsWhite(const Canvas& canvas, int x, const BitmapPixels& fill)
{
    for (int row = 0; row < BarRows(fill); ++row) {
        if (canvas.at(x, 317 + row) != kWhite) return false;
    }
    return true;
}

// How many columns from x 27 on show the fill bitmap, repeated.
int FilledWidth(const Canvas& canvas, const BitmapPixels& fill)
{
    int x = 27;
    while (x < 511 && ColumnIsFill(canvas, x, fill)) ++x;
    return x - 27;
}

BitmapPixels ProgressFill()
{
    BitmapPixels fill = ReadBitmapResource(IDB_PROGRESS_FILL);
    // A white column of the fill would make a filled column look like an empty one.
    for (int x = 0; x < fill.width; ++x) {
        bool white = true;
        for (int row = 0; row < BarRows(fill); ++row) white = white && fill.at(x, row) == kWhite;
        EXPECT_FALSE(white) << "column " << x << " of the progress fill is white";
    }
    return fill;
}

int BarWidthAt(int progress)
{
    const BitmapPixels fill = ProgressFill();
    PaintedWizard wizard;
    wizard.Show(1, progress);
    Canvas canvas(kWidth, kHeight);
    wizard.DrawProgressFrame(canvas.dc());
    wizard.DrawProgressBar(canvas.dc());
    const int width = FilledWidth(canvas, fill);
    EXPECT_TRUE(ColumnIsWhite(canvas, 27 + width, fill)) << "progress " << progress;
    return width;
}

TEST(WizardPainting, ProgressBarIsProgressTimes483Over100PixelsWide)
{
    ASSERT_GT(ProgressFill().width, 0) << "bitmap 141 is missing";
    EXPECT_EQ(BarWidthAt(0), 0);
    EXPECT_EQ(BarWidthAt(1), 4);
    EXPECT_EQ(BarWidthAt(50), 241);
    EXPECT_EQ(BarWidthAt(100), 483);
}

TEST(WizardPainting, ProgressFrameIsALightGreyOutlineAroundWhite)
{
    PaintedWizard wizard;
    Canvas canvas(kWidth, kHeight);
    framework::FillSolid(canvas.dc(), RECT{0, 0, kWidth, kHeight}, RGB(0, 0, 0));
    wizard.DrawProgressFrame(canvas.dc());
    const COLORREF grey = RGB(168, 168, 168);
    for (const POINT corner : {POINT{25, 315}, POINT{512, 315}, POINT{512, 326}, POINT{25, 326}, POINT{300, 315}, POINT{25, 320}}) {
        EXPECT_EQ(canvas.at(corner.x, corner.y), grey) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(canvas.at(26, 316), kWhite);
    EXPECT_EQ(canvas.at(510, 324), kWhite);
    EXPECT_EQ(canvas.at(511, 320), RGB(0, 0, 0));
    EXPECT_EQ(canvas.at(24, 315), RGB(0, 0, 0));
}

bool ShowsMarkerAt(const Canvas& canvas, const BitmapPixels& marker, int left)
{
    for (int y = 0; y < marker.height; ++y) {
        for (int x = 0; x < marker.width; ++x) {
            if (canvas.at(left + x, 69 + y) != marker.at(x, y)) return false;
        }
    }
    return true;
}

TEST(WizardPainting, StepMarkerSitsAt19Plus50TimesThePage)
{
    const BitmapPixels marker = ReadBitmapResource(IDB_STEP_MARKER);
    ASSERT_GT(marker.width, 0) << "bitmap 215 is missing";
    for (int page = 0; page < 3; ++page) {
        PaintedWizard wizard;
        wizard.Show(page);
        Canvas canvas(kWidth, kHeight);
        wizard.DrawBackground(canvas.dc());
        wizard.DrawSteps(canvas.dc());
        for (int step = 0; step < 3; ++step) {
            EXPECT_EQ(ShowsMarkerAt(canvas, marker, 19 + 50 * step), step == page) << "page " << page << ", step " << step;
        }
    }
}

// What drawing the labels changed in step's label rectangle (the marker's row excluded).
struct LabelInk {
    int changed = 0;
    int lighter = 0;
    int darker = 0;
    bool white = false;     // some pixel white
    bool darkGrey = false;  // some pixel near (51, 51, 51)
};

LabelInk InkOfLabel(const Canvas& before, const Canvas& after, int step)
{
    LabelInk ink;
    for (int y = 46; y < 69; ++y) {
        for (int x = 25 + 50 * step; x < 50 + 50 * step; ++x) {
            const COLORREF was = before.at(x, y);
            const COLORREF is = after.at(x, y);
            if (was == is) continue;
            ++ink.changed;
            ink.lighter += Luminance(is) > Luminance(was);
            ink.darker += Luminance(is) < Luminance(was);
            ink.white = ink.white || Near(is, kWhite, 8);
            ink.darkGrey = ink.darkGrey || Near(is, RGB(51, 51, 51), 24);
        }
    }
    return ink;
}

TEST(WizardPainting, CurrentStepLabelIsWhiteTheOthersDarkGrey)
{
    for (int page = 0; page < 3; ++page) {
        PaintedWizard wizard;
        wizard.Show(page);
        Canvas before(kWidth, kHeight);
        Canvas after(kWidth, kHeight);
        wizard.DrawBackground(before.dc());
        wizard.DrawBackground(after.dc());
        // As in a whole pass: the title leaves the background mode transparent.
        wizard.DrawTitle(after.dc());
        wizard.DrawSteps(after.dc());
        for (int step = 0; step < 3; ++step) {
            const LabelInk ink = InkOfLabel(before, after, step);
            ASSERT_GT(ink.changed, 20) << "page " << page << ": no label drawn for step " << step;
            if (step == page) {
                EXPECT_TRUE(ink.white) << "page " << page;
                EXPECT_EQ(ink.darker, 0) << "page " << page;
            } else {
                EXPECT_TRUE(ink.darkGrey) << "page " << page << ", step " << step;
                EXPECT_EQ(ink.lighter, 0) << "page " << page << ", step " << step;
            }
        }
    }
}

double LineLikeness(const Canvas& page, const RECT& line, const std::wstring& text)
{
    return GuiTextLikeness(page, {{text, line}}, line);
}

TEST(WizardPainting, InstallingPageShowsItsLineAndTheBar)
{
    PaintedWizard wizard;
    wizard.Show(1, 50);
    Canvas page(kWidth, kHeight);
    EXPECT_TRUE(wizard.OnEraseBkgnd(page.dc()));
    const RECT line{25, 285, 350, 303};
    EXPECT_GT(LineLikeness(page, line, L"正在安装绘途，请稍候..."), 0.9);
    EXPECT_LT(LineLikeness(page, line, L"正在卸载绘途，请稍候..."), 0.9);
    EXPECT_EQ(FilledWidth(page, ProgressFill()), 241);
}

TEST(WizardPainting, FinishPageTellsWhetherTheProductWasInstalled)
{
    const RECT line{25, 275, 450, 293};
    const std::wstring success = L"绘途安装完成，单击“完成”退出。";
    const std::wstring failure = framework::Format(framework::LoadStringResource(IDS_FINISH_FAILED).c_str(), L"绘途");
    ASSERT_EQ(failure, L"绘途未能安装完成，单击“完成”退出。");
    for (const bool succeeded : {true, false}) {
        PaintedWizard wizard;
        wizard.Show(2);
        wizard.EndInstall(succeeded);
        Canvas page(kWidth, kHeight);
        EXPECT_TRUE(wizard.OnEraseBkgnd(page.dc()));
        const double likeSuccess = LineLikeness(page, line, success);
        const double likeFailure = LineLikeness(page, line, failure);
        EXPECT_GT(succeeded ? likeSuccess : likeFailure, 0.9) << succeeded;
        EXPECT_LT(succeeded ? likeFailure : likeSuccess, 0.7) << succeeded;
    }
}

// The painted pieces at the larger scales: the bar's ends and the frame's corners where the 96-DPI
// ones fall at the scale, drawn with the fill and the marker drawn for it.
TEST(WizardPainting, BarFrameAndMarkerAreAtTheScale)
{
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const framework::DpiScale scale(dpi);
        const auto at = [&scale](int v) { return scale.Scaled(v); };
        const framework::Bitmap fillBitmap = scale.LoadBitmap(IDB_PROGRESS_FILL);
        const BitmapPixels fill = testing_support::ReadPixels(fillBitmap.get());
        const framework::Bitmap markerBitmap = scale.LoadBitmap(IDB_STEP_MARKER);
        const BitmapPixels marker = testing_support::ReadPixels(markerBitmap.get());
        ASSERT_GT(fill.width, 0);
        ASSERT_GT(marker.width, 0);
        for (const int progress : {50, 100}) {
            PaintedWizard wizard;
            wizard.AtScale(dpi);
            wizard.Show(1, progress);
            Canvas canvas(at(kWidth), at(kHeight));
            wizard.DrawProgressFrame(canvas.dc());
            wizard.DrawProgressBar(canvas.dc());
            const int end = at(27 + progress * 483 / 100);
            EXPECT_EQ(canvas.at(at(27), at(317)), fill.at(0, 0)) << progress;
            EXPECT_EQ(canvas.at(end - 1, at(317)), fill.at((end - 1 - at(27)) % fill.width, 0)) << progress;
            EXPECT_EQ(canvas.at(end, at(317)), kWhite) << progress;
            for (const POINT corner : {POINT{25, 315}, POINT{512, 326}}) {
                EXPECT_EQ(canvas.at(at(corner.x), at(corner.y)), RGB(168, 168, 168)) << corner.x;
            }
        }
        PaintedWizard wizard;
        wizard.AtScale(dpi);
        wizard.Show(1);
        Canvas canvas(at(kWidth), at(kHeight));
        wizard.DrawSteps(canvas.dc());
        for (int y = 0; y < marker.height; ++y) {
            for (int x = 0; x < marker.width; ++x) {
                ASSERT_EQ(canvas.at(at(19 + 50) + x, at(69) + y), marker.at(x, y)) << x << "," << y;
            }
        }
    }
}

}  // namespace
