#include "archive/EntryName.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring ToWide(const char* name)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (size <= 1) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(size));
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, buffer.data(), size);
    return std::wstring(buffer.data());
}

bool IsOnlyDotsAndBlanks(const std::wstring& component)
{
    return component.find_first_not_of(L". ") == std::wstring::npos;
}

bool IsReservedDeviceName(const std::wstring& component)
{
    // Windows ignores what follows the first dot, and trailing blanks, for device names.
    std::wstring stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (_wcsicmp(stem.c_str(), device) == 0) return true;
    }
    if (stem.size() == 4 && (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0)) {
        // Windows reserves COM¹, COM² and COM³ (and the LPT ones) like COM1 to COM9.
        return (stem[3] >= L'1' && stem[3] <= L'9') || stem[3] == L'\u00B9' || stem[3] == L'\u00B2' || stem[3] == L'\u00B3';
    }
    return false;
}

bool HasForbiddenCharacter(const std::wstring& component)
{
    for (const wchar_t c : component) {
        if (c < 0x20 || std::wcschr(L"<>\"|?*:", c)) return true;
    }
    return false;
}

bool IsSafeComponent(const std::wstring& component)
{
    return !IsOnlyDotsAndBlanks(component) && !IsReservedDeviceName(component) && !HasForbiddenCharacter(component);
}

}  // namespace

bool IsSafeEntryName(const char* name)
{
    return name && IsSafeEntryName(ToWide(name));
}

bool IsSafeEntryName(const std::wstring& wide)
{
    if (wide.empty() || wide[0] == L'\\' || wide[0] == L'/') return false;
    if (wide.find(L':') != std::wstring::npos) return false;

    bool anyComponent = false;
    size_t start = 0;
    while (start <= wide.size()) {
        const size_t end = wide.find_first_of(L"\\/", start);
        const std::wstring component = wide.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        // Empty components (a doubled or trailing separator) are harmless: the system skips them.
        if (!component.empty()) {
            if (!IsSafeComponent(component)) return false;
            anyComponent = true;
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return anyComponent;
}
