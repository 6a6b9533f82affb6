// Reading LocalConfig.xml, the record the product archive carries: the client version folder,
// the library id for the recording library and an application id.
#include "installer/ExcelToolInstallerDlg.h"

#include <memory>

#include "framework/Text.h"
#include "installer/XmlDocument.h"

namespace {

void AssignText(const TiXmlElement* element, std::wstring& output)
{
    const char* text = element ? element->GetText() : nullptr;
    if (text) output = framework::AnsiToWide(text).str();
}

}  // namespace

bool CExcelToolInstallerDlg::ReadLocalConfig(std::wstring& appId, std::wstring& libId, std::wstring& current)
{
    const std::wstring path = m_strInstallDir + L"LocalConfig.xml";
    const auto document = std::make_unique<TiXmlDocument>();
    if (!LoadXmlDocument(*document, path.c_str()).loaded) return false;
    const TiXmlElement* root = document->RootElement();
    if (!root) return false;
    const TiXmlElement* version = root->FirstChildElement("version");
    const TiXmlElement* client = version ? version->FirstChildElement("client") : nullptr;
    if (!client) return true;
    if (const char* id = client->Attribute("appId")) appId = framework::AnsiToWide(id).str();
    AssignText(client->FirstChildElement("libID"), libId);
    AssignText(client->FirstChildElement("current"), current);
    return true;
}
