// Loading XML text through a file, the way the installer loads its documents.
#pragma once

#include <string>

#include <tinyxml.h>

#include "installer/XmlDocument.h"

namespace wizard_tests {

// Writes bytes to a scratch file and loads it with LoadXmlDocument.
LoadedXml LoadXmlBytes(TiXmlDocument& document, const std::string& bytes);

// Text in a code page, for documents written in one.
std::string Encode(const std::wstring& text, unsigned codePage);

}  // namespace wizard_tests
