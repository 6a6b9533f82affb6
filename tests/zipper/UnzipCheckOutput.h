// Where the programs that check-with-unzip.sh runs leave their archives for Linux's unzip: each
// archive name.zip beside name.expected, the entry names it must list, one a line, sorted.
#pragma once

#include <string>
#include <vector>

namespace zipper_tests {

// The build tree's tests\zipper\unzip-check folder (created when missing).
std::wstring UnzipCheckFolder();

// Copies archive into that folder as name.zip and writes name.expected from expectedNames.
void LeaveForUnzip(const std::wstring& archive, const std::wstring& name, std::vector<std::string> expectedNames);

}  // namespace zipper_tests
