// The installer's own message box: a borderless, rounded, always-on-top 286 × 148 popup with a
// drawn title strip, an icon chosen by the mode, at most three short rows of text and one or two
// bitmap buttons. Callers use ShowMyMsgDlg, which runs it modally and returns the end code. The
// sizes are those at 96 DPI; the box lays itself out at the scale of its monitor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/BmpBtn.h"
#include "controls/MsgTextLayout.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

// Shows the message box (mode: MsgDlgMode) and returns IDOK (1), IDCANCEL (2), or -1 when it
// could not be created, also when parent is a window that no longer exists. errorCode -1 means
// no error-code line.
int ShowMyMsgDlg(int mode, const std::wstring& text, int errorCode, HWND parent);

class CMyMsgDlg : public framework::Dialog {
public:
    CMyMsgDlg(int mode, const std::wstring& text, int errorCode, HWND parent);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The caption and the rows of text, for screen readers.
    std::vector<framework::PaintedPart> PaintedParts() const override;

private:
    void ApplyWindowRegion();
    void CreateButtons();
    BOOL OnEraseBkgnd(HDC dc);

    int m_nMode;
    int m_nErrorCode;
    std::wstring m_strText;
    std::wstring m_strCaption = L"提示";
    CBmpBtn m_btnClose;
    CBmpBtn m_btnOK;
    CBmpBtn m_btnCancel;
    framework::Font m_fontCaption;
    // The box's display scale, taken when it is created, and DEFAULT_GUI_FONT at that scale.
    framework::DpiScale m_scale;
    framework::ScaledFont m_fontText;
    // The window region is set once the box has drawn itself for the first time.
    bool m_bShaped = false;
};
