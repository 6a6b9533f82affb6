// Loading the embedded agreement document for the wizard's first page.
#include "installer/ExcelToolInstallerDlg.h"

#include "controls/MyMsgDlg.h"
#include "framework/Text.h"
#include "installer/AgreementDocument.h"
#include "installer/XmlDocument.h"
#include "resources/resource.h"

bool CExcelToolInstallerDlg::LoadAgreement()
{
    const std::wstring path = m_strTempDir + L"~temp.install.conf";
    const auto fail = [this] {
        ShowMyMsgDlg(MSGDLG_ERROR, framework::LoadStringResource(IDS_INSTALLCONF_ERROR), -1, GetSafeHwnd());
        return false;
    };
    if (!ExtractResourceToFile(path, IDR_INSTALLCONF, "INSTALLCONF")) return fail();

    TiXmlDocument document;
    const LoadedXml loaded = LoadXmlDocument(document, path.c_str());
    // The document is only needed in memory from here on.
    ::DeleteFileW(path.c_str());
    AgreementContent content;
    if (!loaded.loaded || !BuildAgreement(document, loaded.utf8, content)) return fail();
    m_strAgreement = content.text;
    m_dRequiredMB = content.requiredMB;
    return true;
}
