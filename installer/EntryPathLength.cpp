#include "installer/EntryPathLength.h"

#include "framework/Text.h"

namespace {

constexpr size_t kLongestFilePath = MAX_PATH - 1;
constexpr size_t kLongestFolderPath = MAX_PATH - 12 - 1;

}  // namespace

bool JoinedPathFits(const std::wstring& folder, const UZ_FileInfo& entry)
{
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += framework::AnsiToWide(entry.szFileName).str();
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (entry.bFolder) return path.size() <= kLongestFolderPath;
    // The deepest folder on the way is the file's own; the ones above it are shorter.
    return path.size() <= kLongestFilePath && path.rfind(L'\\') <= kLongestFolderPath;
}
