#include "installer/AgreementDocument.h"

#include <cstdlib>
#include <cstring>

#include "framework/Text.h"

namespace {

std::wstring Decode(const char* text, bool utf8)
{
    if (!text) return std::wstring();
    return utf8 ? framework::Utf8ToWide(text) : framework::AnsiToWide(text).str();
}

}  // namespace

bool BuildAgreement(const TiXmlDocument& document, bool utf8, AgreementContent& content)
{
    const TiXmlElement* root = document.RootElement();
    const char* dataSize = root ? root->Attribute("dataSize") : nullptr;
    const TiXmlElement* agreement = root ? root->FirstChildElement("Agreement") : nullptr;
    const TiXmlElement* title = agreement ? agreement->FirstChildElement("Title") : nullptr;
    if (!dataSize || !title) return false;

    content.requiredMB = std::atof(dataSize);
    content.text = L"\t\t\t\t" + Decode(title->GetText(), utf8);
    for (const TiXmlElement* paragraph = title->NextSiblingElement(); paragraph; paragraph = paragraph->NextSiblingElement()) {
        if (std::strcmp(paragraph->Value(), "NewLine") == 0) {
            content.text += L"\n";
        } else if (std::strcmp(paragraph->Value(), "Section") == 0) {
            content.text += L"\n    ";
        } else {
            continue;
        }
        content.text += Decode(paragraph->GetText(), utf8);
    }
    return true;
}
