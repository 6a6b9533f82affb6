// The agreement document: an XML file whose root carries dataSize (the megabytes the product
// needs) and whose Agreement element holds a Title followed by NewLine and Section paragraphs.
#pragma once

#include <string>

#include <tinyxml.h>

struct AgreementContent {
    std::wstring text;  // four tabs, the title, then "\n" or "\n    " before each paragraph
    double requiredMB = 0.0;
};

// Builds the agreement from a parsed document. Texts are decoded as UTF-8 when utf8 is set and
// as the ANSI code page otherwise. False for a document without a root element, dataSize,
// Agreement or Title: such a document is not one the installer can show.
bool BuildAgreement(const TiXmlDocument& document, bool utf8, AgreementContent& content);
