// Copying into the fixed MAX_PATH buffers that the Windows and minizip calls take, without ever
// truncating: a path that does not fit is reported, and the caller fails cleanly. And joining a
// name below a folder.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

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
inline std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L"\\" + name;
}
