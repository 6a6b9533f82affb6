#include "tests/wizard/XmlFile.h"

#include <windows.h>

#include "tests/support/TestSupport.h"

namespace wizard_tests {

LoadedXml LoadXmlBytes(TiXmlDocument& document, const std::string& bytes)
{
    const testing_support::TempFolder folder;
    const std::wstring path = folder / L"document.xml";
    testing_support::WriteFileBytes(path, bytes);
    return LoadXmlDocument(document, path.c_str());
}

std::string Encode(const std::wstring& text, unsigned codePage)
{
    const int size = ::WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

}  // namespace wizard_tests
