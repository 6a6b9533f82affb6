#include "installer/XmlDocument.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

bool ReadWholeFile(const char* path, std::string& bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
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

bool DeclaresUtf8(const TiXmlDocument& document)
{
    const TiXmlNode* first = document.FirstChild();
    const TiXmlDeclaration* declaration = first ? first->ToDeclaration() : nullptr;
    return declaration && declaration->Encoding() && _stricmp(declaration->Encoding(), "UTF-8") == 0;
}

// Skips from a "<!", "<?" construct to its end; returns the position after it.
size_t SkipMarkup(const std::string& text, size_t at)
{
    const char* end = "?>";
    if (text.compare(at, 4, "<!--") == 0) end = "-->";
    else if (text.compare(at, 9, "<![CDATA[") == 0) end = "]]>";
    else if (text.compare(at, 2, "<!") == 0) end = ">";
    const size_t found = text.find(end, at + 2);
    return found == std::string::npos ? text.size() : found + std::strlen(end);
}

// The position of the '>' that ends the tag starting at at, with quoted attribute values
// skipped (a '>' or '/' inside quotes does not end the tag); npos when there is none.
size_t EndOfTag(const std::string& text, size_t at)
{
    for (size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
            if (i == std::string::npos) return i;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

int XmlNestingDepth(const std::string& text, int limit)
{
    int depth = 0;
    int deepest = 0;
    size_t at = text.find('<');
    while (at != std::string::npos && deepest <= limit) {
        if (text.compare(at, 2, "<!") == 0 || text.compare(at, 2, "<?") == 0) {
            at = text.find('<', SkipMarkup(text, at));
            continue;
        }
        const size_t close = EndOfTag(text, at);
        if (close == std::string::npos) break;
        if (text[at + 1] == '/') {
            if (depth > 0) --depth;
        } else if (text[close - 1] != '/') {
            deepest = std::max(deepest, ++depth);
        }
        at = text.find('<', close);
    }
    return deepest;
}

LoadedXml LoadXmlDocument(TiXmlDocument& document, const char* path)
{
    LoadedXml result;
    std::string bytes;
    if (!path || !ReadWholeFile(path, bytes)) return result;
    const std::string text = NormaliseLineEnds(bytes);
    if (XmlNestingDepth(text, kMaxXmlDepth) > kMaxXmlDepth) return result;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    if (document.Error()) return result;
    result.loaded = true;
    result.utf8 = text.compare(0, 3, "\xEF\xBB\xBF") == 0 || DeclaresUtf8(document);
    return result;
}
