#include "installer/XmlDocument.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool ReadWholeFile(const wchar_t* path, std::string& bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path, L"rb"), &std::fclose);
    if (!file) return false;
    char buffer[16384];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0) {
        bytes.append(buffer, read);
        if (bytes.size() > kMaxXmlBytes) return false;
    }
    return !std::ferror(file.get());
}

// Line ends become single line feeds, as TinyXML's own file loading makes them.
std::string NormaliseLineEnds(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            text += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            text += bytes[i];
        }
    }
    return text;
}

// TinyXML's parsing primitives are protected members of its base class; the depth walk below
// uses them, and TinyXML's own node parsers, so that it splits a document into the same pieces
// as TiXmlDocument::Parse does. A walk with rules of its own can be led astray (a quoted '>' in
// a declaration, a processing instruction that TinyXML ends at its first '>') into counting
// less nesting than the parser then recurses through.
struct TinyXml : TiXmlBase {
    using TiXmlBase::IsAlpha;
    using TiXmlBase::ReadName;
    using TiXmlBase::SkipWhiteSpace;
    using TiXmlBase::StringEqual;
};

template <typename Node>
const char* SkipNode(Node&& node, const char* p, TiXmlEncoding encoding)
{
    return node.Parse(p, nullptr, encoding);
}

// UTF-8 for a document that starts with the UTF-8 byte-order mark or declares UTF-8, the bytes
// of the ANSI code page (TinyXML's legacy mode) for any other. TinyXML's own detection takes a
// declaration without an encoding for UTF-8 as well, and then reads the two-byte characters of
// a GBK document as longer UTF-8 sequences that swallow the markup behind them.
TiXmlEncoding DocumentEncoding(const std::string& text)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return TIXML_ENCODING_UTF8;
    const char* p = TinyXml::SkipWhiteSpace(text.c_str(), TIXML_ENCODING_LEGACY);
    if (!p || !TinyXml::StringEqual(p, "<?xml", true, TIXML_ENCODING_LEGACY)) return TIXML_ENCODING_LEGACY;
    TiXmlDeclaration declaration;
    declaration.Parse(p, nullptr, TIXML_ENCODING_LEGACY);
    const char* name = declaration.Encoding();
    return _stricmp(name, "UTF-8") == 0 || _stricmp(name, "UTF8") == 0 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
}

// The start tag of an element, as TiXmlElement::Parse reads it. Returns the position after it,
// or null where TinyXML stops with an error; endTag is set ("</name") when content follows.
const char* SkipStartTag(const char* p, TiXmlEncoding encoding, std::string& endTag)
{
    TIXML_STRING name;
    p = TinyXml::ReadName(TinyXml::SkipWhiteSpace(p + 1, encoding), &name, encoding);
    endTag.clear();
    while (p && *p) {
        p = TinyXml::SkipWhiteSpace(p, encoding);
        if (!p || !*p) return nullptr;
        if (*p == '/') return p[1] == '>' ? p + 2 : nullptr;
        if (*p == '>') {
            endTag = std::string("</") + name.c_str();
            return p + 1;
        }
        p = SkipNode(TiXmlAttribute(), p, encoding);
    }
    return nullptr;
}

// The end tag of the innermost open element; null when it is not that element's.
const char* SkipEndTag(const char* p, const std::string& endTag, TiXmlEncoding encoding)
{
    if (!TinyXml::StringEqual(p, endTag.c_str(), false, encoding)) return nullptr;
    p = TinyXml::SkipWhiteSpace(p + endTag.size(), encoding);
    return p && *p == '>' ? p + 1 : nullptr;
}

}  // namespace

int XmlNestingDepth(const std::string& text, TiXmlEncoding encoding, int limit)
{
    std::vector<std::string> open;  // the end tags awaited, innermost last
    int deepest = 0;
    const char* p = TinyXml::SkipWhiteSpace(text.c_str(), encoding);
    // Each pass takes one piece, as TinyXML's document loop and TiXmlElement::ReadValue do; the
    // walk ends where TinyXML's parse would end, at the text's end or at an error.
    while (p && *p && deepest <= limit) {
        const bool inElement = !open.empty();
        if (*p != '<') {
            if (!inElement) break;
            p = SkipNode(TiXmlText(""), p, encoding);
        } else if (inElement && TinyXml::StringEqual(p, "</", false, encoding)) {
            p = SkipEndTag(p, open.back(), encoding);
            open.pop_back();
        } else if (TinyXml::StringEqual(p, "<?xml", true, encoding)) {
            p = SkipNode(TiXmlDeclaration(), p, encoding);
        } else if (TinyXml::StringEqual(p, "<!--", false, encoding)) {
            p = SkipNode(TiXmlComment(), p, encoding);
        } else if (TinyXml::StringEqual(p, "<![CDATA[", false, encoding)) {
            TiXmlText cdata("");
            cdata.SetCDATA(true);
            p = cdata.Parse(p, nullptr, encoding);
        } else if (TinyXml::IsAlpha(static_cast<unsigned char>(p[1]), encoding) || p[1] == '_') {
            std::string endTag;
            p = SkipStartTag(p, encoding, endTag);
            if (p && !endTag.empty()) {
                open.push_back(endTag);
                deepest = std::max(deepest, static_cast<int>(open.size()));
            }
        } else {
            // "<!" declarations and everything else TinyXML does not know: up to the first '>'.
            p = SkipNode(TiXmlUnknown(), p, encoding);
        }
        if (p) p = TinyXml::SkipWhiteSpace(p, encoding);
    }
    return deepest;
}

LoadedXml LoadXmlDocument(TiXmlDocument& document, const wchar_t* path)
{
    LoadedXml result;
    std::string bytes;
    if (!path || !ReadWholeFile(path, bytes)) return result;
    const std::string text = NormaliseLineEnds(bytes);
    const TiXmlEncoding encoding = DocumentEncoding(text);
    if (XmlNestingDepth(text, encoding, kMaxXmlDepth) > kMaxXmlDepth) return result;
    // Parse adds to what the document holds; LoadFile would have cleared it first.
    document.Clear();
    document.Parse(text.c_str(), nullptr, encoding);
    if (document.Error()) return result;
    result.loaded = true;
    result.utf8 = encoding == TIXML_ENCODING_UTF8;
    return result;
}
