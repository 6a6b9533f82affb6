// The owner-drawn push button of the wizard and the message box. Its face is one of four
// bitmaps chosen by state (normal, hover, pressed, disabled) with the caption drawn over it,
// composed off-screen over a snapshot of what the parent painted beneath the button, so that
// it never flickers. A 10 ms timer notices when the mouse has left; the button shows its own
// cursor (resource 130). Clicks reach the parent as ordinary BN_CLICKED commands. The caption is
// drawn in the font given by WM_SETFONT (a window's scaled font), else in DEFAULT_GUI_FONT.
//
// From the keyboard it is a push button: a tab stop that Space presses, and, while it has the
// focus, the default button that Enter presses. Keyboard focus shows as a dotted rectangle
// inside the face once the keyboard cues are on (WM_UPDATEUISTATE, which the dialog manager sends
// at the first key that moves the focus). They start off, so that a mouse user sees the faces
// alone.
//
// The button owns its four bitmaps and the snapshot; all of them live as long as it does.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Accessible.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

class CBmpBtn : public framework::Button, private framework::PaintedPartsSource {
public:
    enum State { BTN_STATE_NORMAL = 16, BTN_STATE_HOVER = 32, BTN_STATE_PRESSED = 48, BTN_STATE_DISABLED = 64 };
    static constexpr UINT_PTR HOVER_TIMER_ID = 1;
    static constexpr UINT HOVER_TIMER_MS = 10;

    CBmpBtn();

    // Creates the button window with BS_OWNERDRAW added to style, a tab stop whenever it has an
    // area; a null caption gives none.
    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id);
    // The name a screen reader gives a button whose face is a glyph and which has no caption.
    void SetGlyphName(const wchar_t* name) { m_strGlyphName = name; }
    // Loads the face bitmaps (0 = none) as drawn for scale. Pixels of the transparent colour let
    // the snapshot show through; 0 means that the faces are opaque.
    void SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled, COLORREF transparent,
                    const framework::DpiScale& scale = framework::DpiScale());
    // The snapshot is taken again at the next erase: after the parent has been laid out anew.
    void ForgetBackground() { m_dcBk.reset(); }

    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Composes the face of the current state and shows it.
    void DrawButton();
    // The face of the current state drawn into dc (W × H); DrawButton uses it for the screen.
    void ComposeFace(HDC dc, int width, int height);

    int GetState() const { return m_nState; }
    bool IsHover() const { return m_bHover; }
    bool HasBackgroundSnapshot() const { return m_dcBk.has_value(); }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove();
    void OnTimer();
    HBITMAP FaceOfState() const;
    void DrawFace(HDC dc, HBITMAP face, int width, int height) const;
    void ComposeStateFace(HDC dc, int width, int height);
    UINT DialogCode() const;
    framework::PaintedPart Whole() const override;
    std::vector<framework::PaintedPart> PaintedParts() const override { return {}; }
    void OnUpdateUiState(WPARAM wParam);
    void UpdateTabStop() const;

    // What lay under the button at its first erase with an area; empty until then.
    std::optional<framework::OffscreenSurface> m_dcBk;
    int m_nState = BTN_STATE_NORMAL;
    framework::Bitmap m_bmpNormal;
    framework::Bitmap m_bmpHover;
    framework::Bitmap m_bmpPressed;
    framework::Bitmap m_bmpDisabled;
    bool m_bHover = false;
    HCURSOR m_hCursor;  // shared resource cursor: never destroyed
    COLORREF m_crTransparent = 0;
    COLORREF m_crFrame = RGB(15, 107, 148);
    // The last owner-draw request came with the focus.
    bool m_bFocused = false;
    // Empty, or the glyph button's name, its own accessible object reports it.
    std::wstring m_strGlyphName;
    framework::AccessibleClient m_accessible;
    // Keyboard cues: the focus is shown.
    bool m_bShowFocus = false;
};
