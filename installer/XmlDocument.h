// Loading the XML documents the installer reads (the agreement and LocalConfig.xml) with
// TinyXML, with limits that a hostile or broken document cannot get past: TinyXML parses
// recursively, so a deeply nested document would otherwise overflow the stack.
#pragma once

#include <string>

#include <tinyxml.h>

constexpr size_t kMaxXmlBytes = 16 * 1024 * 1024;
constexpr int kMaxXmlDepth = 256;

struct LoadedXml {
    bool loaded = false;  // read, within the limits, and well-formed
    bool utf8 = false;    // parsed as UTF-8: a UTF-8 byte-order mark or an encoding="UTF-8" declaration
};

// Reads path into document as TiXmlDocument::LoadFile would, replacing
// what it held. The document is parsed as UTF-8 when it starts with the UTF-8 byte-order mark or
// declares encoding="UTF-8" (or "UTF8"), and as bytes of the ANSI code page otherwise, so that
// GBK documents read correctly whether or not they declare an encoding.
LoadedXml LoadXmlDocument(TiXmlDocument& document, const wchar_t* path);

// The deepest element nesting that TinyXML reaches when it parses text, found without
// recursion; stops counting past limit.
int XmlNestingDepth(const std::string& text, TiXmlEncoding encoding, int limit);
