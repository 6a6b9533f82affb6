// Reads a .lnk file back through the shell's link object.
#pragma once

#include <string>

namespace testing_support {

struct ShellLinkInfo {
    bool loaded = false;
    std::wstring target;
    std::wstring workingDirectory;
    std::wstring iconPath;
    int iconIndex = 0;
};

ShellLinkInfo ReadShellLink(const std::wstring& path);

}  // namespace testing_support
