#include "framework/Text.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace framework {

std::wstring Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list counting;
    va_copy(counting, args);
    const int length = _vscwprintf(format, counting);
    va_end(counting);
    std::wstring result;
    if (length > 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
        _vsnwprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return result;
}

std::wstring LoadStringResource(UINT id)
{
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

namespace {

std::wstring MultiByteToWide(UINT codePage, const char* text)
{
    const int size = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring result(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, -1, &result[0], size);
    result.resize(static_cast<size_t>(size) - 1);
    return result;
}

}  // namespace

AnsiText WideToAnsi(const wchar_t* text)
{
    if (!text) return AnsiText();
    const int size = ::WideCharToMultiByte(::GetACP(), 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return AnsiText(std::string());
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(::GetACP(), 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size) - 1);
    return AnsiText(std::move(result));
}

WideText AnsiToWide(const char* text)
{
    if (!text) return WideText();
    return WideText(MultiByteToWide(::GetACP(), text));
}

std::wstring Utf8ToWide(const char* text)
{
    return text ? MultiByteToWide(CP_UTF8, text) : std::wstring();
}

}  // namespace framework
