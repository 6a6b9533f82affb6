#include "installer/EntryPathLength.h"

#include "archive/Unzipper.h"
#include "framework/Text.h"

namespace {

constexpr size_t kLongestFilePath = MAX_PATH - 1;
constexpr size_t kLongestFolderPath = MAX_PATH - 12 - 1;

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

}  // namespace

bool EntriesFitBelow(Unzipper& unzipper, const std::wstring& folder)
{
    UZ_FileInfo entry;
    for (bool more = unzipper.GotoFirstFile(); more; more = unzipper.GotoNextFile()) {
        if (!unzipper.GetFileInfo(entry) || !JoinedPathFits(folder, entry)) return false;
    }
    return true;
}
