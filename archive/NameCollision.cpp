#include "archive/NameCollision.h"

#include <windows.h>

#include <algorithm>

namespace {

struct Key {
    std::wstring path;  // the path as Windows compares it
    bool file;
    size_t entry;
};

// One component as the file system stores it: without its trailing dots and blanks, upper case
// as the system folds case for comparing names.
std::wstring ComparableComponent(std::wstring component)
{
    while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) component.pop_back();
    if (component.empty()) return component;
    std::wstring upper(component.size(), L'\0');
    const int length = static_cast<int>(component.size());
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, component.c_str(), length, &upper[0], length) != length) {
        return component;
    }
    return upper;
}

// The keys of an entry: its own path, and each folder it lies in.
void AddKeys(const ArchivePath& path, size_t entry, std::vector<Key>& keys)
{
    std::wstring comparable;
    size_t start = 0;
    while (start <= path.name.size()) {
        const size_t end = path.name.find(L'\\', start);
        const std::wstring component = ComparableComponent(path.name.substr(start, end == std::wstring::npos ? end : end - start));
        if (!component.empty()) {
            if (!comparable.empty()) {
                keys.push_back({comparable, false, entry});
                comparable += L'\\';
            }
            comparable += component;
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    if (!comparable.empty()) keys.push_back({comparable, !path.folder, entry});
}

}  // namespace

bool FindCollision(const std::vector<ArchivePath>& paths, size_t& first, size_t& second)
{
    std::vector<Key> keys;
    keys.reserve(paths.size() * 2);
    for (size_t entry = 0; entry < paths.size(); ++entry) AddKeys(paths[entry], entry, keys);
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return a.path != b.path ? a.path < b.path : a.file > b.file;
    });
    // Within a run of equal paths the files sort first: a run collides when it starts with a
    // file and holds anything else.
    for (size_t at = 0; at + 1 < keys.size(); ++at) {
        const Key& a = keys[at];
        const Key& b = keys[at + 1];
        if (a.path != b.path || !a.file || a.entry == b.entry) continue;
        first = std::min(a.entry, b.entry);
        second = std::max(a.entry, b.entry);
        return true;
    }
    return false;
}
