// The owner-drawn push button of the wizard and the message box. Its face is one of four
// bitmaps chosen by state (normal, hover, pressed, disabled) with the caption drawn over it,
// composed off-screen over a snapshot of what the parent painted beneath the button, so that
// it never flickers. A 10 ms timer notices when the mouse has left; the button shows its own
// cursor (resource 130). Clicks reach the parent as ordinary BN_CLICKED commands.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Window.h"

class CBmpBtn : public framework::Button {
public:
    enum State { BTN_STATE_NORMAL = 16, BTN_STATE_HOVER = 32, BTN_STATE_PRESSED = 48, BTN_STATE_DISABLED = 64 };
    static constexpr UINT_PTR HOVER_TIMER_ID = 1;
    static constexpr UINT HOVER_TIMER_MS = 10;

    CBmpBtn();
    ~CBmpBtn() override;

    // Creates the button window with BS_OWNERDRAW added to style; a null caption gives none.
    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, int id);
    // Loads the face bitmaps (0 = none) and stores the transparent colour (0 = none).
    void SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled, COLORREF transparent);

    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Composes the face of the current state and shows it.
    void DrawButton();

    int GetState() const { return m_nState; }
    bool IsHover() const { return m_bHover; }
    bool HasBackgroundSnapshot() const { return !m_bNeedBk; }

    // The face of the current state drawn into dc (W × H); DrawButton uses it for the screen.
    void ComposeFace(HDC dc, int width, int height);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove();
    void OnTimer();

    framework::MemoryDC m_dcBk;
    framework::Bitmap m_bmpBk;
    HGDIOBJ m_bmpBkPrevious = nullptr;
    bool m_bNeedBk = true;
    int m_nState = BTN_STATE_NORMAL;
    framework::Bitmap m_bmpNormal;
    framework::Bitmap m_bmpHover;
    framework::Bitmap m_bmpPressed;
    framework::Bitmap m_bmpDisabled;
    bool m_bHover = false;
    HCURSOR m_hCursor;
    COLORREF m_crTransparent = 0;
    COLORREF m_crFrame = RGB(15, 107, 148);
};
