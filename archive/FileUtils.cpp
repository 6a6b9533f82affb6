#include "archive/FileUtils.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <io.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/AnsiPath.h"
#include "framework/ScopedHandle.h"
#include "framework/Text.h"

namespace {

// The narrow forms work on the UTF-16 form of their path, so that the second byte of a
// double-byte character (0x5C in 淺 or 禱 under code page 936) is never taken for a separator.
std::wstring Widen(const char* text)
{
    return framework::AnsiToWide(text).str();
}

std::string Narrow(const std::wstring& text)
{
    return framework::WideToAnsi(text).str();
}

template <typename Char>
std::basic_string<Char> CollapseSeparators(const Char* text, Char separator)
{
    std::basic_string<Char> result = text ? text : std::basic_string<Char>();
    const Char pair[] = {separator, separator, Char(0)};
    // Each pass replaces every pair, left to right without overlap, until none is left.
    while (result.find(pair) != std::basic_string<Char>::npos) {
        std::basic_string<Char> next;
        size_t start = 0;
        for (size_t at = result.find(pair); at != std::basic_string<Char>::npos; at = result.find(pair, start)) {
            next.append(result, start, at - start);
            next.push_back(separator);
            start = at + 2;
        }
        next.append(result, start, std::basic_string<Char>::npos);
        result.swap(next);
    }
    return result;
}

// Collapses doubled backslashes but keeps a leading \\ (UNC or device prefix): collapsing it
// would turn \\server\share\x into \server\share\x, a different folder on the current drive.
std::wstring CollapseKeepingPrefix(const wchar_t* text)
{
    const std::wstring path = text ? text : L"";
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        return L"\\" + CollapseSeparators(path.c_str() + 1, L'\\');
    }
    return CollapseSeparators(path.c_str(), L'\\');
}

std::string CollapseKeepingPrefix(const char* text)
{
    return Narrow(CollapseKeepingPrefix(Widen(text ? text : "").c_str()));
}

// The shell's fixed buffers hold 259 characters and the two terminating zeros.
constexpr size_t kShellPathLimit = MAX_PATH - 1;

// A zero-filled copy with room for the double terminator the shell expects; false when the
// path does not fit.
bool ToShellBuffer(const std::string& path, char (&buffer)[MAX_PATH + 1])
{
    std::memset(buffer, 0, sizeof(buffer));
    if (path.size() > kShellPathLimit) return false;
    std::memcpy(buffer, path.data(), path.size());
    return true;
}

int RunShellOperation(UINT operation, const char* from, const char* to)
{
    SHFILEOPSTRUCTA request{};
    request.wFunc = operation;
    request.pFrom = from;
    request.pTo = to;
    request.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return ::SHFileOperationA(&request);
}

bool IsLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Removes every junction and symbolic link below folder, without descending into them, so
// that a later recursive deletion cannot reach what they point to.
void RemoveLinksBelow(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    framework::FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!search) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (IsLink(entry.dwFileAttributes)) {
            RemoveLinkOrFile(path.c_str(), entry.dwFileAttributes);
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveLinksBelow(path);
        }
    } while (::FindNextFileW(search.get(), &entry));
}

// Where the server and share part of a share path ends (the position of the backslash after the
// share, or the end of the path); 0 for any other path.
size_t ShareRootEnd(const std::wstring& path)
{
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') return 0;
    const size_t shareStart = path.find(L'\\', 2);
    if (shareStart == std::wstring::npos) return path.size();
    const size_t shareEnd = path.find(L'\\', shareStart + 1);
    return shareEnd == std::wstring::npos ? path.size() : shareEnd;
}

}  // namespace

bool IsSharePath(const std::wstring& path)
{
    if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\' || path.find(L'/') != std::wstring::npos) return false;
    const size_t shareStart = path.find(L'\\', 2);
    if (shareStart == std::wstring::npos || shareStart == 2) return false;
    const std::wstring server = path.substr(2, shareStart - 2);
    // \\.\ and \\?\ reach devices and bypass the path rules; they are not servers.
    if (server == L"." || server == L"?") return false;
    return ShareRootEnd(path) > shareStart + 1;
}

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (IsSharePath(path)) return L"\\\\?\\UNC" + path.substr(1);
    const bool drivePath = path.size() >= 3 && (path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z' && path[1] == L':' && path[2] == L'\\';
    return drivePath ? L"\\\\?\\" + path : path;
}

bool create_folder_chain(const std::wstring& path)
{
    if (::PathFileExistsW(path.c_str())) return true;
    if (path.empty()) return false;
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    const size_t last = folder.rfind(L'\\');
    if (last == std::wstring::npos) return false;
    // A missing share is not ours to make, nor is a server: only the folders below the share are.
    if (last < ShareRootEnd(folder)) return false;
    if (!create_folder_chain(folder.substr(0, last))) return false;
    return ::CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

bool create_folder_chain(const std::string& path)
{
    return create_folder_chain(Widen(path.c_str()));
}

int ensure_folder(const wchar_t* path)
{
    if (!path) return FILEUTIL_BAD_ARGUMENT;
    const std::wstring text(path);
    // Drive-letter paths and folders on a share (where Windows redirects AppData, the start menu
    // and the desktop in many offices); relative, device and verbatim paths are refused before
    // the disk is touched.
    if (text.size() >= 3 && text[1] != L':' && !IsSharePath(text)) return FILEUTIL_BAD_ARGUMENT;
    if (text.size() >= MAX_PATH) return FILEUTIL_BAD_ARGUMENT;
    return create_folder_chain(text) ? FILEUTIL_OK : FILEUTIL_BAD_ARGUMENT;
}

int ensure_folder(const char* path)
{
    return path ? ensure_folder(Widen(path).c_str()) : FILEUTIL_BAD_ARGUMENT;
}

std::string collapse_separators(const char* text, char separator)
{
    return Narrow(CollapseSeparators(Widen(text ? text : "").c_str(), static_cast<wchar_t>(static_cast<unsigned char>(separator))));
}

std::wstring collapse_separators(const wchar_t* text, wchar_t separator)
{
    return CollapseSeparators(text, separator);
}

void trim_trailing_separators(wchar_t* text)
{
    if (!text) return;
    for (size_t i = std::wcslen(text); i > 0; --i) {
        const wchar_t c = text[i - 1];
        if (c != L' ' && c != L'\\' && c != L'/') break;
        text[i - 1] = L'\0';
    }
}

bool RemoveLinkOrFile(const wchar_t* path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    // A directory link is removed as a directory: that removes the link, not the target.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryW(path) != FALSE;
    return ::DeleteFileW(path) != FALSE;
}

int delete_folder(const wchar_t* path, bool confirm, bool showProgress)
{
    if (!path) return FILEUTIL_BAD_ARGUMENT;
    if (_waccess(path, 0) != 0) return FILEUTIL_OK;

    std::wstring collapsed = CollapseKeepingPrefix(path);
    std::vector<wchar_t> list(collapsed.begin(), collapsed.end());
    list.push_back(L'\0');
    list.push_back(L'\0');
    trim_trailing_separators(list.data());
    const std::wstring target = list.data();

    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (IsLink(attributes)) return RemoveLinkOrFile(target.c_str(), attributes) ? FILEUTIL_OK : static_cast<int>(::GetLastError());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) RemoveLinksBelow(target);

    SHFILEOPSTRUCTW request{};
    request.wFunc = FO_DELETE;
    request.pFrom = list.data();
    request.fFlags = FOF_NOERRORUI;
    if (!confirm) request.fFlags |= FOF_NOCONFIRMATION;
    if (!showProgress) request.fFlags |= FOF_SILENT;
    return ::SHFileOperationW(&request);
}

bool path_exists(const char* path)
{
    return path && _access(path, 0) == 0;
}

bool rename_path(const char* from, const char* to)
{
    if (!path_exists(from) || !to) return false;
    const std::string source = from;
    const size_t last = LastSeparator(source);
    if (last == std::string::npos || last + 1 == source.size()) return false;
    const std::string parent = source.substr(0, last);
    std::string destination = to;
    if (destination.find(parent) == std::string::npos) destination = parent + "\\" + destination;

    char fromBuffer[MAX_PATH + 1];
    char toBuffer[MAX_PATH + 1];
    if (!ToShellBuffer(CollapseKeepingPrefix(source.c_str()), fromBuffer)) return false;
    if (!ToShellBuffer(CollapseKeepingPrefix(destination.c_str()), toBuffer)) return false;
    return RunShellOperation(FO_RENAME, fromBuffer, toBuffer) == 0;
}

int move_to_folder(const char* source, const char* folder)
{
    if (!source || _access(source, 0) != 0 || !folder) return FILEUTIL_BAD_ARGUMENT;
    if (ensure_folder(folder) != FILEUTIL_OK) return FILEUTIL_NO_DESTINATION;
    char fromBuffer[MAX_PATH + 1];
    char toBuffer[MAX_PATH + 1];
    if (!ToShellBuffer(CollapseKeepingPrefix(source), fromBuffer)) return FILEUTIL_BAD_ARGUMENT;
    if (!ToShellBuffer(CollapseKeepingPrefix(folder), toBuffer)) return FILEUTIL_BAD_ARGUMENT;
    return RunShellOperation(FO_MOVE, fromBuffer, toBuffer);
}

MultiByteBuffer::MultiByteBuffer(const wchar_t* text, UINT codePage) : m_codePage(codePage)
{
    const int size = ::WideCharToMultiByte(m_codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    m_text = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (!m_text) {
        m_error = NoMemory;
        return;
    }
    m_owns = true;
    m_error = ::WideCharToMultiByte(m_codePage, 0, text, -1, m_text, size, nullptr, nullptr) == 0 ? ConversionFailed : NoError;
}

MultiByteBuffer::~MultiByteBuffer()
{
    if (m_owns) std::free(m_text);
    m_text = nullptr;
}
