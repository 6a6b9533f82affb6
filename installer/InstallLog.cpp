#include "installer/InstallLog.h"

#include <cstdlib>
#include <vector>

#include "framework/Text.h"

namespace {

// Made at start-up, like the install recorder: a function-local static would bring the
// runtime's thread-safe initialisation guard along.
InstallLog g_installLog;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The file version of setup.exe from its own version resource, read in place: the version
// library is no KnownDLL and is not loaded for this.
std::wstring OwnVersion()
{
    const HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL data = ::LoadResource(nullptr, resource);
    const DWORD size = ::SizeofResource(nullptr, resource);
    // VS_VERSIONINFO: three 16-bit fields and the key "VS_VERSION_INFO" with its terminator,
    // then the fixed information aligned to 32 bits.
    constexpr DWORD kFixedInfoOffset = 40;
    if (!data || size < kFixedInfoOffset + sizeof(VS_FIXEDFILEINFO)) return L"unknown";
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(static_cast<const BYTE*>(::LockResource(data)) + kFixedInfoOffset);
    if (fixed->dwSignature != 0xFEEF04BD) return L"unknown";
    return framework::Format(L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}

std::wstring LocalTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return framework::Format(L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                             now.wSecond);
}

// "Windows error 5 (Access is denied.)" in the system's language; HRESULTs in hex.
std::wstring DescribeError(DWORD error)
{
    std::wstring text = framework::Format(error > 0xFFFF ? L"Windows error 0x%08lX" : L"Windows error %lu", error);
    wchar_t message[512] = {};
    if (::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, message,
                         ARRAYSIZE(message), nullptr)) {
        std::wstring words = message;
        while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) words.pop_back();
        if (!words.empty()) text += L" (" + words + L")";
    }
    return text;
}

// Control characters as escapes: a line of the log is exactly one step.
std::wstring Escaped(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\r') {
            escaped += L"\\r";
        } else if (c == L'\n') {
            escaped += L"\\n";
        } else if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029) {
            escaped += framework::Format(L"\\x%02X", static_cast<unsigned>(c));
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string ToUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

}  // namespace

InstallLog& InstallLog::Instance()
{
    return g_installLog;
}

bool InstallLog::Open(const std::wstring& path)
{
    // Readers may follow the log while setup runs; nothing else may write to it.
    m_file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) return false;
    std::atexit(&InstallLog::WriteExitStatus);
    DWORD written = 0;
    ::WriteFile(m_file.get(), kByteOrderMark, sizeof(kByteOrderMark) - 1, &written, nullptr);
    Note(L"绘途 setup.exe " + OwnVersion());
    Note(std::wstring(L"command line: ") + ::GetCommandLineW());
    return true;
}

void InstallLog::Note(const std::wstring& text)
{
    WriteLine(text);
}

void InstallLog::Step(const std::wstring& step, const std::wstring& outcome)
{
    if (IsOpen()) WriteLine(LocalTime() + L"  " + step + L": " + outcome);
}

void InstallLog::Failure(const std::wstring& step, const std::wstring& reason, const std::wstring& path, DWORD error)
{
    if (!IsOpen()) return;
    std::wstring line = LocalTime() + L"  FAILED " + step + L": " + reason;
    if (!path.empty()) line += L"; path " + path;
    if (error != ERROR_SUCCESS) line += L"; " + DescribeError(error);
    WriteLine(line);
}

void InstallLog::WriteExitStatus()
{
    InstallLog& log = Instance();
    if (log.IsOpen()) log.WriteLine(LocalTime() + framework::Format(L"  exit status %d", log.m_exitStatus));
}

void InstallLog::WriteLine(const std::wstring& line)
{
    if (!IsOpen()) return;
    // The steps around a log call may still read their own last error.
    const DWORD lastError = ::GetLastError();
    const std::string bytes = ToUtf8(Escaped(line) + L"\r\n");
    ::AcquireSRWLockExclusive(&m_lock);
    DWORD written = 0;
    ::WriteFile(m_file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::ReleaseSRWLockExclusive(&m_lock);
    ::SetLastError(lastError);
}
