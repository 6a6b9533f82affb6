// Text helpers shared by every part of the installer: printf-style formatting into wide strings,
// string resources, and conversion between UTF-16 and the system's ANSI code page, which the
// archive, XML and recording libraries take their paths and values in.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// printf-style formatting with the C runtime's wide rules (%ls for wide text, %hs for narrow).
std::wstring Format(const wchar_t* format, ...);

// A string from the program's own string table; empty when the id is not there.
std::wstring LoadStringResource(UINT id);

// Converted text. A null input converts to a null result, which get() reports as nullptr.
template <typename Char>
class ConvertedText {
public:
    ConvertedText() = default;
    explicit ConvertedText(std::basic_string<Char> text) : m_text(std::move(text)), m_null(false) {}

    const Char* get() const { return m_null ? nullptr : m_text.c_str(); }
    const std::basic_string<Char>& str() const { return m_text; }

private:
    std::basic_string<Char> m_text;
    bool m_null = true;
};

using AnsiText = ConvertedText<char>;
using WideText = ConvertedText<wchar_t>;

// UTF-16 to the ANSI code page (GetACP). Characters the code page lacks become the system's
// default character, so a path holding them names a file that does not exist.
AnsiText WideToAnsi(const wchar_t* text);
inline AnsiText WideToAnsi(const std::wstring& text) { return WideToAnsi(text.c_str()); }

// The ANSI code page to UTF-16.
WideText AnsiToWide(const char* text);
inline WideText AnsiToWide(const std::string& text) { return AnsiToWide(text.c_str()); }

// UTF-8 to UTF-16, for documents that declare that they are UTF-8.
std::wstring Utf8ToWide(const char* text);

}  // namespace framework
