// Copying into the fixed MAX_PATH buffers that the Windows and minizip calls take, without ever
// truncating: a path that does not fit is reported, and the caller fails cleanly.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "archive/AnsiPath.h"

// Copies text with its terminator; false (and an empty buffer) when it does not fit.
template <size_t N>
bool CopyBounded(char (&buffer)[N], const std::string& text)
{
    if (text.size() >= N) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// folder + name, with a '\' between them unless folder already ends in '\' or '/'.
inline std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || EndsWithSeparator(folder)) return folder + name;
    return folder + "\\" + name;
}

template <size_t N>
bool JoinBounded(char (&buffer)[N], const std::string& folder, const std::string& name)
{
    return CopyBounded(buffer, JoinPath(folder, name));
}
