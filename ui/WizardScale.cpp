// The wizard at the display scale of its monitor: its fonts at that scale, the places of the
// title-strip buttons, and what it does when the system moves it to a monitor of another scale
// (WM_DPICHANGED): it lays itself out again at the new scale, at the place the system suggests.
#include "installer/ExcelToolInstallerDlg.h"

#include "resources/resource.h"

void CExcelToolInstallerDlg::SetScale(int dpi)
{
    m_scale = framework::DpiScale(dpi);
    m_nScaleDpi = m_scale.Dpi();
}

RECT CExcelToolInstallerDlg::TitleButtonRect(int id) const
{
    const RECT c = LogicalClientRect();
    const RECT rect = id == IDC_BTN_MIN ? RECT{c.right - 51, c.top + 2, c.right - 29, c.top + 24}
                                        : RECT{c.right - 25, c.top + 2, c.right - 3, c.top + 24};
    return m_scale.Scaled(rect);
}

void CExcelToolInstallerDlg::PlaceTitleButtons()
{
    m_btnMin.MoveWindow(TitleButtonRect(IDC_BTN_MIN));
    m_btnClose.MoveWindow(TitleButtonRect(IDC_BTN_CLOSE));
}

void CExcelToolInstallerDlg::ApplyScaleToFonts()
{
    m_fontGui = framework::ScaledFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), framework::SystemDpi(), m_scale);
    m_fontTemplate = framework::ScaledFont(m_hTemplateFont, m_nTemplateFontDpi, m_scale);
    const auto setFont = [this](int id, HFONT font) {
        ::SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    };
    setFont(IDC_CHK_LAUNCH, m_fontGui.get());
    for (const int id : {IDC_CHK_AGREE, IDC_EDIT_AGREEMENT, IDC_STATIC_SPACE}) setFont(id, m_fontTemplate.get());
}

void CExcelToolInstallerDlg::OnDpiChanged(int dpi, const RECT& suggested)
{
    const RECT logical = LogicalClientRect();
    SetScale(dpi);
    // The suggested rectangle is the window's at the new DPI; where that DPI lies between the
    // scales of the artwork, the window takes the size of the scale it is drawn at.
    m_rcClient = m_scale.Scaled(logical);
    ::SetWindowPos(GetSafeHwnd(), nullptr, suggested.left, suggested.top, m_rcClient.right - m_rcClient.left,
                   m_rcClient.bottom - m_rcClient.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_fontBold = CreateBoldFont(m_scale);
    ApplyScaleToFonts();
    ApplyScaleToButtons();
    PlaceTitleButtons();
    PlaceAgreementPageControls();
    // Before the finish page the finish button has no area, and must keep none.
    if (m_nPage == 2) PlaceFinishPageControls();
    for (CBmpBtn* button : BitmapButtons()) button->ForgetBackground();
    ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
