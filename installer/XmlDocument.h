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
    bool utf8 = false;    // a UTF-8 byte-order mark or an encoding="UTF-8" declaration
};

// Reads path (narrow, ANSI code page) into document as TiXmlDocument::LoadFile would, with the
// library's encoding detection left on automatic.
LoadedXml LoadXmlDocument(TiXmlDocument& document, const char* path);

// The deepest element nesting that TinyXML reaches when it parses text, found without
// recursion; stops counting past limit.
int XmlNestingDepth(const std::string& text, int limit);
