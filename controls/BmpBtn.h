// The owner-drawn push button of the wizard and the message box. Its face is one of four
// bitmaps chosen by state (normal, hover, pressed, disabled) with the caption drawn over it,
// composed off-screen over a snapshot of what the parent painted beneath the button, so that
// it never flickers. A 10 ms timer notices when the mouse has left; the button shows its own
// cursor (resource 130). Clicks reach the parent as ordinary BN_CLICKED commands. The caption is
// drawn in the font given by WM_SETFONT (a window's scaled font), else in DEFAULT_GUI_FONT.
//
// The button owns its four bitmaps and the snapshot; all of them live as long as it does.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

class CBmpBtn : public framework::Button {
public:
    enum State { BTN_STATE_NORMAL = 16, BTN_STATE_HOVER = 32, BTN_STATE_PRESSED = 48, BTN_STATE_DISABLED = 64 };
    static constexpr UINT_PTR HOVER_TIMER_ID = 1;
    static constexpr UINT HOVER_TIMER_MS = 10;

    CBmpBtn();

    // Creates the button window with BS_OWNERDRAW added to style; a null caption gives none.
    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id);
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
};
