// The bitmap button in a host window under Wine: the faces of its states composed into a memory
// device context, its background snapshot, the state transitions and the hover timer.
#include <gtest/gtest.h>

#include <functional>

#include "controls/BmpBtn.h"
#include "framework/Window.h"
#include "resources/resource.h"
#include "tests/controls/ButtonHost.h"
#include "tests/controls/Pixels.h"

namespace {

using controls_test::BitmapPixels;
using controls_test::ButtonHost;
using controls_test::Describe;
using controls_test::PixelSurface;
using controls_test::PumpMessages;

constexpr int kId = IDC_BTN_INSTALL;
constexpr RECT kPlace{30, 20, 90, 41};  // 60 × 21, the size of the wizard's buttons
constexpr int kW = 60;
constexpr int kH = 21;
constexpr COLORREF kFrame = RGB(15, 107, 148);
// Long enough for a slow machine; only reached when the button does not do what it should.
constexpr DWORD kPatienceMs = 5000;

void MoveCursorAway()
{
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
}

void MoveCursorOnto(HWND button)
{
    RECT rect{};
    ::GetWindowRect(button, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// Pumps messages until done() holds or patience runs out; returns done().
bool PumpUntil(const std::function<bool()>& done)
{
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < kPatienceMs) {
        PumpMessages();
        ::Sleep(5);
    }
    return done();
}

void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        PumpMessages();
        ::Sleep(5);
    }
}

BitmapPixels Resource(UINT id)
{
    const framework::Bitmap bitmap = framework::LoadBitmapResource(id);
    return controls_test::ReadPixels(bitmap.get());
}

int Luminance(COLORREF c)
{
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
}

// The bounding box of the pixels where a face differs from what lies under it: the caption.
struct Ink {
    int left = kW, top = kH, right = -1, bottom = -1;
    int darkest = 255;
    int lightest = 0;
    bool empty() const { return right < 0; }
};

class ButtonFaces : public ::testing::Test {
public:
    void SendDrawItem(UINT state)
    {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = kId;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_button.GetSafeHwnd();
        m_button.DrawItem(item);
    }

    void MouseMove() { ::SendMessageW(m_button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(kW / 2, kH / 2)); }

protected:
    ButtonFaces() : m_host(200, 80)
    {
        MoveCursorAway();
        m_button.Create(L"安装", WS_CHILD | WS_VISIBLE, kPlace, m_host.hwnd(), kId);
    }

    void Show()
    {
        ::InvalidateRect(m_button.GetSafeHwnd(), nullptr, TRUE);
        ::UpdateWindow(m_button.GetSafeHwnd());
        PumpMessages();
    }

    BitmapPixels Face()
    {
        PixelSurface surface(kW, kH, RGB(0, 0, 0));
        m_button.ComposeFace(surface.dc(), kW, kH);
        BitmapPixels face{kW, kH, {}};
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) face.colours.push_back(surface.at(x, y));
        }
        return face;
    }

    static COLORREF Under(int x, int y) { return ButtonHost::PatternAt(kPlace.left + x, kPlace.top + y); }

    // Where face differs from ground, excluding a margin (for the frame of bitmap-less faces).
    static Ink InkOf(const BitmapPixels& face, const std::function<COLORREF(int, int)>& ground, int margin = 0)
    {
        Ink ink;
        for (int y = margin; y < kH - margin; ++y) {
            for (int x = margin; x < kW - margin; ++x) {
                const COLORREF c = face.at(x, y);
                if (c == ground(x, y)) continue;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ink.darkest = std::min(ink.darkest, Luminance(c));
                ink.lightest = std::max(ink.lightest, Luminance(c));
            }
        }
        return ink;
    }

    ButtonHost m_host;
    CBmpBtn m_button;
};

std::function<COLORREF(int, int)> Of(const BitmapPixels& bitmap)
{
    return [&bitmap](int x, int y) { return bitmap.at(x, y); };
}

void ExpectCentred(const Ink& ink)
{
    ASSERT_FALSE(ink.empty()) << "no caption was drawn";
    EXPECT_LE(std::abs(ink.left - (kW - 1 - ink.right)), 2) << "caption from x " << ink.left << " to " << ink.right;
    EXPECT_LE(std::abs(ink.top - (kH - 1 - ink.bottom)), 2) << "caption from y " << ink.top << " to " << ink.bottom;
}

TEST_F(ButtonFaces, BitmapFacesCarryTheCaptionCentredInBlack)
{
    m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL, 0);
    Show();
    const BitmapPixels normal = Resource(IDB_BTN_NORMAL);
    const BitmapPixels hover = Resource(IDB_BTN_HOVER);
    ASSERT_NE(normal.colours, hover.colours) << "the hover face must look different";

    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_NORMAL);
    const BitmapPixels face = Face();
    const Ink ink = InkOf(face, Of(normal));
    ExpectCentred(ink);
    EXPECT_LT(ink.darkest, 60) << "the caption is black";
    // Away from the caption the face is the bitmap itself, not the snapshot under the button.
    EXPECT_EQ(face.at(1, 1), normal.at(1, 1));
    EXPECT_NE(face.at(1, 1), Under(1, 1));

    MouseMove();
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    ExpectCentred(InkOf(Face(), Of(hover)));
}

TEST_F(ButtonFaces, KeyboardFocusShowsADottedRectangleInsideOnlyWithTheKeyboardCues)
{
    m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL, 0);
    Show();
    const BitmapPixels unfocused = Face();
    const HWND button = m_button.GetSafeHwnd();

    SendDrawItem(ODS_FOCUS);
    EXPECT_EQ(Face().colours, unfocused.colours) << "a mouse user sees the face alone";

    // The first key that moves around shows the cues in the whole dialog.
    framework::ShowKeyboardCues(m_host.hwnd());
    const BitmapPixels focused = Face();
    int changed = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            if (focused.at(x, y) == unfocused.at(x, y)) continue;
            ++changed;
            const bool inside = x >= 2 && x <= kW - 3 && y >= 2 && y <= kH - 3;
            const bool onEdge = x == 2 || x == kW - 3 || y == 2 || y == kH - 3;
            EXPECT_TRUE(inside && onEdge) << "changed at " << x << ", " << y;
        }
    }
    // A dotted line round the inside: every other pixel of it at least.
    EXPECT_GE(changed, (kW - 4) + (kH - 4) - 4);

    SendDrawItem(0);
    EXPECT_EQ(Face().colours, unfocused.colours) << "focus gone";
    SendDrawItem(ODS_FOCUS);
    ::SendMessageW(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(Face().colours, unfocused.colours) << "cues hidden again";
    // Set from the last input: the window's own state, which Wine keeps at "shown".
    ::SendMessageW(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(Face().colours, focused.colours) << "cues as the system has them";
}

TEST_F(ButtonFaces, DisabledBitmapFaceHasAGreyCaption)
{
    m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL, 0);
    ::EnableWindow(m_button.GetSafeHwnd(), FALSE);
    Show();
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_DISABLED);
    const Ink ink = InkOf(Face(), Of(Resource(IDB_BTN_NORMAL)));
    ExpectCentred(ink);
    EXPECT_GE(ink.darkest, 120) << "no pixel of the caption is darker than its grey";
    EXPECT_LE(ink.darkest, 136) << "the grey caption is drawn at full strength somewhere";
}

TEST_F(ButtonFaces, DisabledWithoutABitmapShowsOnlyTheSnapshot)
{
    m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0, 0);
    ::EnableWindow(m_button.GetSafeHwnd(), FALSE);
    Show();
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_DISABLED);
    const BitmapPixels face = Face();
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(face.at(x, y), Under(x, y)) << "at " << x << "," << y << ": " << Describe(face.at(x, y));
        }
    }
}

TEST_F(ButtonFaces, WithoutBitmapsTheCaptionIsLeftAlignedAndFramedOnHoverAndPress)
{
    m_button.SetBitmaps(0, 0, 0, 0, 0);
    Show();
    const auto under = [](int x, int y) { return Under(x, y); };

    const BitmapPixels normal = Face();
    const Ink plain = InkOf(normal, under);
    ASSERT_FALSE(plain.empty());
    EXPECT_LE(plain.left, 1) << "left-aligned";
    EXPECT_GT(plain.right, plain.left + 10);
    EXPECT_LE(std::abs(plain.top - (kH - 1 - plain.bottom)), 2) << "vertically centred";
    EXPECT_EQ(normal.at(0, 0), Under(0, 0)) << "no frame at rest";

    MouseMove();
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    const BitmapPixels hover = Face();
    for (int x = 0; x < kW; ++x) {
        EXPECT_EQ(hover.at(x, 0), kFrame) << "top edge at " << x;
        EXPECT_EQ(hover.at(x, kH - 1), kFrame) << "bottom edge at " << x;
    }
    for (int y = 0; y < kH; ++y) {
        EXPECT_EQ(hover.at(kW - 1, y), kFrame) << "right edge at " << y;
        // The caption is drawn after the frame and starts on its left edge.
        if (y < plain.top || y > plain.bottom) {
            EXPECT_EQ(hover.at(0, y), kFrame) << "left edge at " << y;
        }
    }
    const Ink framed = InkOf(hover, under, 1);
    const Ink plainInside = InkOf(normal, under, 1);
    EXPECT_EQ(framed.left, plainInside.left);
    EXPECT_EQ(framed.right, plainInside.right);
    EXPECT_EQ(framed.top, plainInside.top);

    SendDrawItem(ODS_FOCUS | ODS_SELECTED);
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_PRESSED);
    const BitmapPixels pressed = Face();
    EXPECT_EQ(pressed.at(0, 0), kFrame);
    const Ink pushed = InkOf(pressed, under, 1);
    EXPECT_EQ(pushed.left, plain.left + 2) << "moved right by two pixels";
    EXPECT_EQ(pushed.top, plain.top + 1) << "centred in a rectangle that starts at y 2";
}

TEST_F(ButtonFaces, TransparentColourLetsTheSnapshotThrough)
{
    const BitmapPixels normal = Resource(IDB_BTN_NORMAL);
    const COLORREF key = normal.at(0, 0);
    ASSERT_NE(key, normal.at(kW / 2, 1));
    m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0, key);
    Show();
    const BitmapPixels face = Face();
    EXPECT_EQ(face.at(0, 0), Under(0, 0)) << Describe(face.at(0, 0));
    EXPECT_EQ(face.at(kW / 2, 1), normal.at(kW / 2, 1));
}

TEST_F(ButtonFaces, ButtonWithoutAnAreaTakesItsSnapshotAtItsFirstPlace)
{
    CBmpBtn late;
    late.Create(L"完成", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, m_host.hwnd(), IDC_BTN_FINISH);
    late.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, 0, 0);
    PumpMessages();
    EXPECT_FALSE(late.HasBackgroundSnapshot());

    ::MoveWindow(late.GetSafeHwnd(), 110, 40, kW, kH, TRUE);
    ::UpdateWindow(late.GetSafeHwnd());
    PumpMessages();
    ASSERT_TRUE(late.HasBackgroundSnapshot());
    // Moved on later, the button keeps what lay under its first place.
    ::MoveWindow(late.GetSafeHwnd(), 20, 50, kW, kH, TRUE);
    ::UpdateWindow(late.GetSafeHwnd());
    PumpMessages();

    ::EnableWindow(late.GetSafeHwnd(), FALSE);
    PumpMessages();
    ASSERT_EQ(late.GetState(), CBmpBtn::BTN_STATE_DISABLED);
    PixelSurface surface(kW, kH, RGB(0, 0, 0));
    late.ComposeFace(surface.dc(), kW, kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(surface.at(x, y), ButtonHost::PatternAt(110 + x, 40 + y)) << "at " << x << "," << y;
        }
    }
}

class ButtonStates : public ButtonFaces {
protected:
    ButtonStates()
    {
        m_button.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_HOVER, IDB_BTN_NORMAL, IDB_BTN_NORMAL, 0);
        Show();
    }
};

TEST_F(ButtonStates, FollowTheTransitionTable)
{
    struct Step {
        const char* event;
        std::function<void(ButtonStates&)> apply;
        int state;
        bool hover;
    };
    const auto draw = [](UINT itemState) { return [itemState](ButtonStates& t) { t.SendDrawItem(itemState); }; };
    const auto move = [](ButtonStates& t) { t.MouseMove(); };
    const Step steps[] = {
        {"constructed", [](ButtonStates&) {}, CBmpBtn::BTN_STATE_NORMAL, false},
        {"focus alone", draw(ODS_FOCUS), CBmpBtn::BTN_STATE_NORMAL, false},
        {"pressed", draw(ODS_FOCUS | ODS_SELECTED), CBmpBtn::BTN_STATE_PRESSED, false},
        {"released, mouse never over it", draw(ODS_FOCUS), CBmpBtn::BTN_STATE_PRESSED, false},
        {"mouse moves over it", move, CBmpBtn::BTN_STATE_HOVER, true},
        {"held down, drawn", draw(ODS_FOCUS | ODS_SELECTED), CBmpBtn::BTN_STATE_PRESSED, true},
        {"mouse moves while held", move, CBmpBtn::BTN_STATE_HOVER, true},
        {"held, drawn again", draw(ODS_FOCUS | ODS_SELECTED), CBmpBtn::BTN_STATE_PRESSED, true},
        {"released under the mouse", draw(ODS_FOCUS), CBmpBtn::BTN_STATE_HOVER, true},
        {"focus lost", draw(0), CBmpBtn::BTN_STATE_NORMAL, true},
        {"not focused but pressed", draw(ODS_SELECTED), CBmpBtn::BTN_STATE_NORMAL, true},
        {"disabled", draw(ODS_DISABLED), CBmpBtn::BTN_STATE_DISABLED, true},
        {"disabled overrides pressed", draw(ODS_FOCUS | ODS_SELECTED | ODS_DISABLED), CBmpBtn::BTN_STATE_DISABLED, true},
        {"enabled again", draw(ODS_FOCUS), CBmpBtn::BTN_STATE_HOVER, true},
    };
    for (const Step& step : steps) {
        step.apply(*this);
        EXPECT_EQ(m_button.GetState(), step.state) << "after: " << step.event;
        EXPECT_EQ(m_button.IsHover(), step.hover) << "after: " << step.event;
    }
}

TEST_F(ButtonStates, IsAPushButtonToTheDialogManagerThatStaysOwnerDrawn)
{
    const HWND button = m_button.GetSafeHwnd();
    EXPECT_EQ(::SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    ::SetFocus(button);
    ASSERT_EQ(::GetFocus(), button);
    EXPECT_EQ(::SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON) << "focused: the default";
    // As the dialog manager marks the default push button.
    ::SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonStates, LeavingIsNoticedByTheTimerWhichThenStops)
{
    MouseMove();
    ASSERT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    EXPECT_TRUE(PumpUntil([this] { return m_button.GetState() == CBmpBtn::BTN_STATE_NORMAL; }));
    EXPECT_FALSE(m_button.IsHover());
    EXPECT_FALSE(::KillTimer(m_button.GetSafeHwnd(), CBmpBtn::HOVER_TIMER_ID)) << "the hover timer still runs";
}

TEST_F(ButtonStates, RestingOverTheButtonKeepsTheHoverFaceAndTheTimer)
{
    MoveCursorOnto(m_button.GetSafeHwnd());
    MouseMove();
    PumpFor(300);
    EXPECT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    EXPECT_TRUE(m_button.IsHover());
    EXPECT_TRUE(::KillTimer(m_button.GetSafeHwnd(), CBmpBtn::HOVER_TIMER_ID)) << "the hover timer stopped";
    MoveCursorAway();
}

TEST_F(ButtonStates, ClickShowsHoverPressedHoverAndReachesTheParent)
{
    // The messages a click brings, handled as they come; no message is pumped in between, so
    // the hover timer does not tick before the mouse has left.
    const HWND hwnd = m_button.GetSafeHwnd();
    const LPARAM centre = MAKELPARAM(kW / 2, kH / 2);
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, centre);
    EXPECT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    EXPECT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_PRESSED);
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, centre);
    EXPECT_EQ(m_button.GetState(), CBmpBtn::BTN_STATE_HOVER);
    EXPECT_EQ(m_host.clicks(), std::vector<int>{kId});

    // The mouse is elsewhere: the next tick finds it outside.
    EXPECT_TRUE(PumpUntil([this] { return m_button.GetState() == CBmpBtn::BTN_STATE_NORMAL; }));
}

TEST_F(ButtonStates, ShowsTheProgramsHandCursorWhateverTheHitTest)
{
    const HCURSOR hand = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
    ASSERT_NE(hand, nullptr);
    const HWND hwnd = m_button.GetSafeHwnd();
    for (WORD hit : {WORD(HTCLIENT), WORD(HTERROR), WORD(HTBORDER)}) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_EQ(::SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(hit, WM_MOUSEMOVE)), TRUE);
        EXPECT_EQ(::GetCursor(), hand) << "hit-test code " << hit;
    }
}

}  // namespace
