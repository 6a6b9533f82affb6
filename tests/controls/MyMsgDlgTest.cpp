// The installer's message box shown for real under Wine and driven from another thread, as a
// user or another program would: its window, its buttons in each mode, the end codes of the
// buttons and keys, what it draws, and what it does when it cannot be shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "controls/MyMsgDlg.h"
#include "resources/resource.h"
#include "tests/controls/Backdrop.h"
#include "tests/controls/ButtonHost.h"
#include "tests/controls/MessageBoxDriver.h"
#include "tests/controls/Pixels.h"

namespace {

using controls_test::BitmapPixels;
using controls_test::ChildRect;
using controls_test::ChildText;
using controls_test::Describe;
using controls_test::DriveMessageBox;
using controls_test::DrivenBox;
using controls_test::PixelSurface;
using controls_test::PressKey;

constexpr int kWidth = 286;
constexpr int kHeight = 148;
const std::wstring kText = L"安装程序已在运行中，请勿重复启动。";

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

std::string Explain(const DrivenBox& box)
{
    return box.appeared ? "the box came up but did not draw itself" : "no box came up; ShowMyMsgDlg gave " + std::to_string(box.result);
}

void Click(HWND box, int id)
{
    ::SendMessageW(::GetDlgItem(box, id), BM_CLICK, 0, 0);
}

// The buttons and the icon of a mode.
struct Button {
    int id;
    std::wstring caption;
    RECT rect;
};
struct ModeLayout {
    int mode;
    std::vector<Button> lower;  // the lower row, 1011 first
    UINT icon;
};

void PrintTo(const ModeLayout& layout, std::ostream* os)
{
    *os << "mode " << layout.mode;
}

const Button kOk{IDC_BTN_MSG_OK, L"确定", {228, 122, 276, 141}};
const ModeLayout kModes[] = {
    {MSGDLG_NOTICE, {kOk}, IDB_MSG_ICON_NOTICE},
    {MSGDLG_ERROR, {kOk}, IDB_MSG_ICON_ERROR},
    {MSGDLG_YESNO,
     {{IDC_BTN_MSG_OK, L"是", {175, 122, 223, 141}}, {IDC_BTN_MSG_CANCEL, L"否", {228, 122, 276, 141}}},
     IDB_MSG_ICON_QUESTION},
    {MSGDLG_CONTINUE_QUIT,
     {{IDC_BTN_MSG_OK, L"继续安装", {137, 122, 204, 141}}, {IDC_BTN_MSG_CANCEL, L"退出安装", {209, 122, 276, 141}}},
     IDB_MSG_ICON_QUESTION},
    {7, {kOk}, IDB_MSG_ICON_NOTICE},
    {-1, {kOk}, IDB_MSG_ICON_NOTICE},
};

class EachMode : public ::testing::TestWithParam<ModeLayout> {};

TEST_P(EachMode, ShowsItsButtonsIconAndCaption)
{
    const ModeLayout& layout = GetParam();
    struct Seen {
        int id;
        bool exists;
        bool visible;
        RECT rect;
        std::wstring caption;
    };
    std::vector<Seen> seen;
    int focus = 0;
    PixelSurface drawn(kWidth, kHeight, RGB(0, 0, 0));
    const DrivenBox box = DriveMessageBox(layout.mode, kText, -1, nullptr, [&](HWND hwnd) {
        for (int id : {IDC_BTN_CLOSE, IDC_BTN_MSG_OK, IDC_BTN_MSG_CANCEL}) {
            const HWND child = ::GetDlgItem(hwnd, id);
            seen.push_back(Seen{id, child != nullptr, child && ::IsWindowVisible(child), ChildRect(hwnd, id),
                                ChildText(hwnd, id)});
        }
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(hwnd, nullptr), &info);
        focus = ::GetDlgCtrlID(info.hwndFocus);
        ::SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawn.dc()), 0);
        Click(hwnd, IDC_BTN_MSG_OK);
    });
    ASSERT_TRUE(box.found) << Explain(box);
    EXPECT_TRUE(box.ended);
    EXPECT_EQ(box.result, IDOK);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[0].exists && seen[0].visible) << "close button";
    EXPECT_TRUE(SameRect(seen[0].rect, RECT{242, 1, 279, 19})) << Show(seen[0].rect);
    EXPECT_EQ(seen[0].caption, L"");
    for (size_t i = 0; i < 2; ++i) {
        const Seen& button = seen[i + 1];
        if (i >= layout.lower.size()) {
            EXPECT_FALSE(button.exists) << "button " << button.id << " is not part of this mode";
            continue;
        }
        const Button& expected = layout.lower[i];
        ASSERT_TRUE(button.exists && button.visible) << "button " << expected.id;
        EXPECT_TRUE(SameRect(button.rect, expected.rect)) << "button " << expected.id << " at " << Show(button.rect);
        EXPECT_EQ(button.caption, expected.caption);
    }
    EXPECT_EQ(focus, IDC_BTN_MSG_OK);

    const framework::Bitmap icon = framework::LoadBitmapResource(layout.icon);
    const BitmapPixels expected = controls_test::ReadPixels(icon.get());
    ASSERT_GT(expected.width, 0);
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            ASSERT_EQ(drawn.at(16 + x, 52 + y), expected.at(x, y)) << "icon pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Box, EachMode, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<ModeLayout>& info) {
                             return info.param.mode < 0 ? std::string("ModeMinus1") : "Mode" + std::to_string(info.param.mode);
                         });

// How the box is answered, and the end code that gives.
struct Answer {
    const char* name;
    int mode;
    const char* how;
    void (*answer)(HWND box);
    int code;
};

void PrintTo(const Answer& answer, std::ostream* os)
{
    *os << "mode " << answer.mode << ", " << answer.how;
}

void ClickOk(HWND box) { Click(box, IDC_BTN_MSG_OK); }
void ClickCancel(HWND box) { Click(box, IDC_BTN_MSG_CANCEL); }
void ClickClose(HWND box) { Click(box, IDC_BTN_CLOSE); }
void Enter(HWND box) { PressKey(box, VK_RETURN); }
void Escape(HWND box) { PressKey(box, VK_ESCAPE); }
void CloseRequest(HWND box) { ::PostMessageW(box, WM_CLOSE, 0, 0); }
void EnterOnTheRefusingButton(HWND box)
{
    ::SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(box, IDC_BTN_MSG_CANCEL)), TRUE);
    PressKey(box, VK_RETURN);
}

const Answer kAnswers[] = {
    {"Mode0Ok", MSGDLG_NOTICE, "确定", ClickOk, IDOK},
    {"Mode0Close", MSGDLG_NOTICE, "close button", ClickClose, IDCANCEL},
    {"Mode0Enter", MSGDLG_NOTICE, "Enter", Enter, IDOK},
    {"Mode0Escape", MSGDLG_NOTICE, "Escape", Escape, IDCANCEL},
    {"Mode0CloseRequest", MSGDLG_NOTICE, "close request", CloseRequest, IDCANCEL},
    {"Mode1Ok", MSGDLG_ERROR, "确定", ClickOk, IDOK},
    {"Mode1Escape", MSGDLG_ERROR, "Escape", Escape, IDCANCEL},
    {"Mode2Yes", MSGDLG_YESNO, "是", ClickOk, IDOK},
    {"Mode2No", MSGDLG_YESNO, "否", ClickCancel, IDCANCEL},
    {"Mode2Close", MSGDLG_YESNO, "close button", ClickClose, IDCANCEL},
    {"Mode2Enter", MSGDLG_YESNO, "Enter", Enter, IDOK},
    {"Mode2EnterOnNo", MSGDLG_YESNO, "Enter with the focus on 否", EnterOnTheRefusingButton, IDCANCEL},
    {"Mode2Escape", MSGDLG_YESNO, "Escape", Escape, IDCANCEL},
    {"Mode3Continue", MSGDLG_CONTINUE_QUIT, "继续安装", ClickOk, IDOK},
    {"Mode3Quit", MSGDLG_CONTINUE_QUIT, "退出安装", ClickCancel, IDCANCEL},
    {"Mode3Close", MSGDLG_CONTINUE_QUIT, "close button", ClickClose, IDCANCEL},
    {"Mode3Enter", MSGDLG_CONTINUE_QUIT, "Enter", Enter, IDOK},
    {"Mode3Escape", MSGDLG_CONTINUE_QUIT, "Escape", Escape, IDCANCEL},
    {"Mode7Ok", 7, "确定", ClickOk, IDOK},
    {"Mode7Enter", 7, "Enter", Enter, IDOK},
    {"Mode7Escape", 7, "Escape", Escape, IDCANCEL},
};

class EachAnswer : public ::testing::TestWithParam<Answer> {};

TEST_P(EachAnswer, EndsTheBoxWithItsCode)
{
    const Answer& answer = GetParam();
    const DrivenBox box = DriveMessageBox(answer.mode, kText, -1, nullptr, answer.answer);
    ASSERT_TRUE(box.found) << Explain(box);
    EXPECT_TRUE(box.ended) << "the box stayed open";
    EXPECT_EQ(box.result, answer.code);
}

INSTANTIATE_TEST_SUITE_P(Box, EachAnswer, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<Answer>& info) { return std::string(info.param.name); });

TEST(MessageBoxWindow, IsAFixedSizeTopmostRoundedPopupCentredOnTheScreen)
{
    RECT window{}, client{};
    LONG exStyle = 0, style = 0;
    COLORREF key = 0;
    DWORD layeredFlags = 0;
    std::wstring caption(16, L'\0');
    int regionKind = ERROR;
    RECT regionBox{};
    std::vector<bool> inside;
    const DrivenBox box = DriveMessageBox(MSGDLG_NOTICE, kText, -1, nullptr, [&](HWND hwnd) {
        ::GetWindowRect(hwnd, &window);
        ::GetClientRect(hwnd, &client);
        exStyle = ::GetWindowLongW(hwnd, GWL_EXSTYLE);
        style = ::GetWindowLongW(hwnd, GWL_STYLE);
        ::GetLayeredWindowAttributes(hwnd, &key, nullptr, &layeredFlags);
        caption.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &caption[0], 16)));
        const framework::Region region(::CreateRectRgn(0, 0, 0, 0));
        regionKind = ::GetWindowRgn(hwnd, region.get());
        ::GetRgnBox(region.get(), &regionBox);
        for (POINT p : {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{0, kHeight - 1}, POINT{kWidth - 1, kHeight - 1},
                        POINT{kWidth / 2, 0}, POINT{0, kHeight / 2}, POINT{kWidth - 1, kHeight / 2},
                        POINT{kWidth / 2, kHeight - 1}}) {
            inside.push_back(::PtInRegion(region.get(), p.x, p.y) != FALSE);
        }
        ClickOk(hwnd);
    });
    ASSERT_TRUE(box.found) << Explain(box);
    EXPECT_EQ(window.right - window.left, kWidth);
    EXPECT_EQ(window.bottom - window.top, kHeight);
    EXPECT_EQ(client.right, kWidth) << "no frame takes part of the window";
    EXPECT_EQ(client.bottom, kHeight) << "no frame takes part of the window";
    EXPECT_EQ(window.left, (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2);
    EXPECT_EQ(window.top, (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(layeredFlags & LWA_COLORKEY);
    EXPECT_EQ(key, RGB(255, 0, 0));
    EXPECT_EQ(caption, L"提示");
    EXPECT_EQ(regionKind, COMPLEXREGION);
    EXPECT_TRUE(SameRect(regionBox, RECT{0, 0, kWidth, kHeight})) << Show(regionBox);
    EXPECT_EQ(inside, (std::vector<bool>{false, false, false, false, true, true, true, true})) << "corners cut, edges kept";
}

TEST(MessageBoxWindow, RoundedCornersShowWhatLiesBehindTheBox)
{
    const controls_test::Backdrop backdrop(RGB(0, 200, 0));
    std::vector<COLORREF> corners;
    COLORREF middle = 0;
    const DrivenBox box = DriveMessageBox(MSGDLG_NOTICE, kText, -1, nullptr, [&](HWND hwnd) {
        RECT w{};
        ::GetWindowRect(hwnd, &w);
        const POINT points[] = {{w.left, w.top}, {w.right - 1, w.top}, {w.left, w.bottom - 1}, {w.right - 1, w.bottom - 1}};
        // The screen catches up with the window asynchronously: wait a while for the box to show
        // on it with its corners cut.
        for (int tries = 0; tries < 200; ++tries) {
            const framework::WindowDC screen(nullptr);
            corners.clear();
            for (const POINT& p : points) corners.push_back(::GetPixel(screen.get(), p.x, p.y));
            middle = ::GetPixel(screen.get(), w.left + kWidth / 2, w.top + 60);
            const bool cornersShowBackdrop =
                std::all_of(corners.begin(), corners.end(), [&](COLORREF c) { return c == backdrop.colour(); });
            if (cornersShowBackdrop && middle != backdrop.colour()) break;
            ::Sleep(25);
        }
        ClickOk(hwnd);
    });
    ASSERT_TRUE(box.found) << Explain(box);
    for (COLORREF c : corners) EXPECT_EQ(c, backdrop.colour()) << Describe(c) << " in a corner";
    EXPECT_NE(middle, backdrop.colour()) << "the box itself is not see-through";
}

TEST(MessageBoxWindow, DragsOnlyByTheTitleStrip)
{
    std::vector<LRESULT> hits;
    const DrivenBox box = DriveMessageBox(MSGDLG_NOTICE, kText, -1, nullptr, [&](HWND hwnd) {
        RECT w{};
        ::GetWindowRect(hwnd, &w);
        for (int dy : {4, 5, 15, 25, 26, 80}) {
            hits.push_back(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(w.left + 100, w.top + dy)));
        }
        ClickOk(hwnd);
    });
    ASSERT_TRUE(box.found) << Explain(box);
    EXPECT_EQ(hits, (std::vector<LRESULT>{HTCLIENT, HTCAPTION, HTCAPTION, HTCAPTION, HTCLIENT, HTCLIENT}));
}

// What the box draws, captured by asking it to paint its background into a surface of ours.
struct Drawing {
    const char* name;
    int mode;
    std::wstring text;
    int errorCode;
    std::vector<std::pair<int, int>> rows;  // y ranges that hold text
};

void PrintTo(const Drawing& drawing, std::ostream* os)
{
    *os << "mode " << drawing.mode << ", error code " << drawing.errorCode;
}

const std::wstring kLong =
    L"安装程序无法连接到更新服务器，请检查您的网络连接是否正常，然后重新启动安装程序再试一次。";
const std::wstring kThirtyNine = L"检测到旧版本的组件仍在运行，继续安装需要先关闭这些组件。立即关闭并继续安装吗？";

const Drawing kDrawings[] = {
    {"ShortNotice", MSGDLG_NOTICE, kText, -1, {{60, 78}}},
    {"ShortNoticeWithCode", MSGDLG_NOTICE, kText, 5, {{51, 69}, {69, 87}}},
    {"LongNotice", MSGDLG_NOTICE, kLong, -1, {{51, 69}, {69, 87}}},
    {"FailureInTwoPartsWithCode", MSGDLG_ERROR, L"无法读取安装配置。\n请重新下载安装程序后再试。", 5, {{42, 60}, {60, 78}, {78, 96}}},
    {"ContinueQuitSlices", MSGDLG_CONTINUE_QUIT, kThirtyNine, -1, {{46, 64}, {64, 82}, {82, 100}}},
    {"ContinueQuitWithCode", MSGDLG_CONTINUE_QUIT, kThirtyNine, 9, {{46, 64}, {64, 82}, {82, 100}, {100, 118}}},
};

class EachDrawing : public ::testing::TestWithParam<Drawing> {};

int Luminance(COLORREF c)
{
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
}

// Whether the text area (x 60 to 280) holds dark pixels between two rows.
bool HasInk(const PixelSurface& drawn, int top, int bottom)
{
    for (int y = top; y < bottom; ++y) {
        for (int x = 60; x < 280; ++x) {
            if (Luminance(drawn.at(x, y)) < 100) return true;
        }
    }
    return false;
}

TEST_P(EachDrawing, PutsTheTextInItsRowsOverTheBackground)
{
    const Drawing& drawing = GetParam();
    PixelSurface drawn(kWidth, kHeight, RGB(0, 0, 0));
    const DrivenBox box = DriveMessageBox(drawing.mode, drawing.text, drawing.errorCode, nullptr, [&](HWND hwnd) {
        ::SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawn.dc()), 0);
        ClickOk(hwnd);
    });
    ASSERT_TRUE(box.found) << Explain(box);

    // Every row holds text, and nothing lies between the rows or around them.
    int previous = 30;
    for (const auto& row : drawing.rows) {
        EXPECT_TRUE(HasInk(drawn, row.first + 3, row.second - 3)) << "row " << row.first << "-" << row.second;
        EXPECT_FALSE(HasInk(drawn, previous, row.first)) << "above " << row.first;
        previous = row.second;
    }
    EXPECT_FALSE(HasInk(drawn, previous, 120)) << "below " << previous;

    // The background is bitmap 200 where nothing is drawn over it.
    const framework::Bitmap background = framework::LoadBitmapResource(IDB_MSG_BACKGROUND);
    const BitmapPixels expected = controls_test::ReadPixels(background.get());
    ASSERT_EQ(expected.width, kWidth);
    for (POINT p : {POINT{100, 24}, POINT{8, 110}, POINT{100, 145}, POINT{200, 30}}) {
        EXPECT_EQ(drawn.at(p.x, p.y), expected.at(p.x, p.y)) << p.x << "," << p.y;
    }
    // The caption 提示 in light grey on the title strip.
    int lightest = 0;
    for (int y = 3; y < 21; ++y) {
        for (int x = 10; x < 60; ++x) lightest = std::max(lightest, Luminance(drawn.at(x, y)));
    }
    EXPECT_GE(lightest, 180) << "no caption on the title strip";
}

INSTANTIATE_TEST_SUITE_P(Box, EachDrawing, ::testing::ValuesIn(kDrawings),
                         [](const ::testing::TestParamInfo<Drawing>& info) { return std::string(info.param.name); });

TEST(MessageBoxFailure, OwnerThatNoLongerExistsGivesMinusOne)
{
    controls_test::ButtonHost gone(10, 10);
    const HWND stale = gone.hwnd();
    ::DestroyWindow(stale);
    ASSERT_FALSE(::IsWindow(stale));
    EXPECT_EQ(ShowMyMsgDlg(MSGDLG_ERROR, kText, -1, stale), -1);
}

TEST(MessageBoxOwner, WorkerThreadShowsTheBoxOverAWindowOfTheInterfaceThread)
{
    controls_test::ButtonHost owner(200, 100);
    std::atomic<bool> done{false};
    bool ownerDisabled = false;
    HWND boxOwner = nullptr;
    DrivenBox box;
    std::thread worker([&] {
        box = DriveMessageBox(MSGDLG_ERROR, kText, -1, owner.hwnd(), [&](HWND hwnd) {
            ownerDisabled = !::IsWindowEnabled(owner.hwnd());
            boxOwner = ::GetWindow(hwnd, GW_OWNER);
            ClickOk(hwnd);
        });
        done = true;
    });
    // The interface thread goes on handling its messages meanwhile, as the wizard's does.
    while (!done) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        controls_test::PumpMessages();
    }
    worker.join();
    ASSERT_TRUE(box.found) << Explain(box);
    EXPECT_EQ(box.result, IDOK);
    EXPECT_EQ(boxOwner, owner.hwnd());
    EXPECT_TRUE(ownerDisabled) << "the box is modal to its owner";
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd())) << "the owner is enabled again";
}

}  // namespace
