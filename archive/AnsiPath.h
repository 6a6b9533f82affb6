// Walking narrow paths (text in the ANSI code page) a character at a time. In a double-byte
// code page such as 936 the second byte of a character may be 0x5C, the backslash (淺, 禱): only a
// single-byte '\' is a separator, so a path is never cut or joined inside a character.
#pragma once

#include <cstddef>
#include <string>

// The byte length of the character text starts with: 2 for a double-byte character, else 1.
size_t AnsiCharLength(const char* text);

// The position of the last separator '\' of path, or std::string::npos.
size_t LastSeparator(const std::string& path);

// Whether the last character of path is a separator ('\' or '/').
bool EndsWithSeparator(const std::string& path);
