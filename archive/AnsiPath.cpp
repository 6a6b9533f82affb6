#include "archive/AnsiPath.h"

#include <windows.h>

size_t AnsiCharLength(const char* text)
{
    return ::IsDBCSLeadByte(static_cast<BYTE>(*text)) && text[1] != '\0' ? 2 : 1;
}

namespace {

// The position where the last character of path begins; npos for an empty path.
size_t LastCharacter(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t at = 0; at < path.size(); at += AnsiCharLength(path.c_str() + at)) last = at;
    return last;
}

}  // namespace

size_t LastSeparator(const std::string& path)
{
    size_t found = std::string::npos;
    for (size_t at = 0; at < path.size(); at += AnsiCharLength(path.c_str() + at)) {
        if (path[at] == '\\') found = at;
    }
    return found;
}

bool EndsWithSeparator(const std::string& path)
{
    const size_t last = LastCharacter(path);
    return last != std::string::npos && last + 1 == path.size() && (path[last] == '\\' || path[last] == '/');
}
