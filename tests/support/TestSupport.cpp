#include "tests/support/TestSupport.h"

#include <shlobj.h>

#include <algorithm>
#include <stdexcept>

#include <unzip.h>
#include <zip.h>

#include "archive/FileUtils.h"

namespace testing_support {

std::wstring SetupExePath()
{
    return BuildFile(L"setup.exe");
}

std::wstring BuildFile(const std::wstring& relative)
{
    std::wstring path = SETUP_TEST_BUILD_DIR;
    path += L"\\";
    for (wchar_t c : relative) path += c == L'/' ? L'\\' : c;
    return path;
}

std::wstring TempPath()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

TempFolder::TempFolder()
{
    static unsigned counter = 0;
    for (;;) {
        m_path = TempPath() + L"setup-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

std::string TempFolder::narrow() const
{
    return Narrow(m_path);
}

void RemoveTree(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
            } while (::FindNextFileW(search, &entry));
            ::FindClose(search);
        }
    }
    RemoveLinkOrFile(path.c_str(), attributes);
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SampleProductEntry(const char* name)
{
    unzFile archive = unzOpen(Narrow(BuildFile(L"sample/product.zip")).c_str());
    std::string bytes;
    bool found = archive && unzLocateFile(archive, name, 1) == UNZ_OK && unzOpenCurrentFile(archive) == UNZ_OK;
    if (found) {
        char buffer[65536];
        int read = 0;
        while ((read = unzReadCurrentFile(archive, buffer, sizeof(buffer))) > 0) bytes.append(buffer, static_cast<size_t>(read));
        found = read == 0 && unzCloseCurrentFile(archive) == UNZ_OK;
    }
    if (archive) unzClose(archive);
    if (!found) throw std::runtime_error(std::string("the sample product has no entry ") + name);
    return bytes;
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos) MakeFolders(path.substr(0, slash));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

void MakeFolders(const std::wstring& path)
{
    ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
}

namespace {

void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW((root + L"\\" + relative + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + L"\\");
            ListInto(root, relative + name + L"\\", out);
        } else {
            out.push_back(relative + name);
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

}  // namespace

std::vector<std::wstring> ListTree(const std::wstring& root)
{
    std::vector<std::wstring> out;
    ListInto(root, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::wstring MakeShare(const std::wstring& server, const std::wstring& share)
{
    wchar_t prefix[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH)) throw std::runtime_error("not run in a Wine prefix");
    std::wstring folder = std::wstring(L"Z:") + prefix + L"/dosdevices/unc/" + server + L"/" + share;
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    MakeFolders(folder);
    if (!FolderExists(folder)) throw std::runtime_error("cannot make the share's folder");
    return L"\\\\" + server + L"\\" + share;
}

void RedirectShellFolder(const wchar_t* value, const std::wstring& folder)
{
    const wchar_t* const keys[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    for (const wchar_t* subkey : keys) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot open the shell folders key");
        }
        ::RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
}

std::map<std::wstring, std::string> ReadTree(const std::wstring& root)
{
    std::map<std::wstring, std::string> tree;
    for (const std::wstring& entry : ListTree(root)) tree[entry] = entry.back() == L'\\' ? "" : ReadFileBytes(root + L"\\" + entry);
    return tree;
}

DWORD DotNet20InstallValue()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", L"Install",
                       RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

std::string Narrow(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

std::wstring Widen(const std::string& text)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(wide.size() - 1);
    return wide;
}

DWORD RunAndWait(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 0xDEADBEEF;
    }
    DWORD status = 0xDEADBEEF;
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.hProcess, &status);
    } else {
        ::TerminateProcess(process.hProcess, 0xDEADBEEF);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}

void CopySetupWithResource(const std::wstring& target, const wchar_t* type, WORD id, const std::string* data)
{
    if (!data) throw std::runtime_error("resources cannot be removed under Wine: use variants/without-product/setup.exe");
    if (!::CopyFileW(SetupExePath().c_str(), target.c_str(), FALSE)) throw std::runtime_error("cannot copy setup.exe");
    HANDLE update = ::BeginUpdateResourceW(target.c_str(), FALSE);
    if (!update) throw std::runtime_error("BeginUpdateResource failed");
    const WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);  // as the payload is embedded
    if (!::UpdateResourceW(update, type, MAKEINTRESOURCEW(id), language, const_cast<char*>(data->data()),
                           static_cast<DWORD>(data->size())) ||
        !::EndUpdateResourceW(update, FALSE)) {
        throw std::runtime_error("UpdateResource failed");
    }
}

std::wstring InstallFolder()
{
    return KnownFolder(CSIDL_APPDATA) + L"\\Corvane\\Plandrel\\";
}

std::vector<std::wstring> BesideInstallFolder()
{
    std::vector<std::wstring> beside;
    for (const std::wstring& entry : ListTree(KnownFolder(CSIDL_APPDATA) + L"\\Corvane")) {
        if (entry.compare(0, 9, L"Plandrel\\") != 0) beside.push_back(entry);
    }
    return beside;
}

ZipBuilder& ZipBuilder::File(const std::string& name, const std::string& content, DWORD attributes, WORD dosDate,
                             WORD dosTime)
{
    EntryHeader header;
    header.attributes = attributes;
    header.dosDateTime = (static_cast<DWORD>(dosDate) << 16) | dosTime;
    return File(name, content, header);
}

ZipBuilder& ZipBuilder::File(const std::string& name, const std::string& content, const EntryHeader& header)
{
    m_entries.push_back(Entry{name, content, header});
    return *this;
}

ZipBuilder& ZipBuilder::Folder(const std::string& name)
{
    EntryHeader header;
    header.attributes = FILE_ATTRIBUTE_DIRECTORY;
    return File(name, std::string(), header);
}

namespace {

unsigned ReadLittleEndian(const std::string& bytes, size_t at, size_t length)
{
    unsigned value = 0;
    for (size_t i = length; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

void WriteLittleEndian16(std::string& bytes, size_t at, unsigned value)
{
    bytes.at(at) = static_cast<char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<char>(value >> 8);
}

// The archive has no comment, so its end record is its last 22 bytes.
size_t DirectoryRecordOffset(const std::string& archive, size_t index)
{
    const size_t end = archive.size() - 22;
    size_t record = ReadLittleEndian(archive, end + 16, 4);
    for (size_t i = 0; i < index; ++i) {
        record += 46 + ReadLittleEndian(archive, record + 28, 2) + ReadLittleEndian(archive, record + 30, 2) +
                  ReadLittleEndian(archive, record + 32, 2);
    }
    return record;
}

// Writes the method of the index-th entry into its directory record and its local header.
void SetMethod(std::string& archive, size_t index, unsigned method)
{
    const size_t record = DirectoryRecordOffset(archive, index);
    WriteLittleEndian16(archive, record + 10, method);
    WriteLittleEndian16(archive, LocalHeaderOffset(archive, index) + 8, method);
}

}  // namespace

size_t LocalHeaderOffset(const std::string& archive, size_t index)
{
    return ReadLittleEndian(archive, DirectoryRecordOffset(archive, index) + 42, 4);
}

std::string ZipBuilder::Build() const
{
    TempFolder scratch;
    const std::wstring file = scratch / L"built.zip";
    zipFile zip = zipOpen(Narrow(file).c_str(), APPEND_STATUS_CREATE);
    if (!zip) throw std::runtime_error("zipOpen failed");
    for (const Entry& entry : m_entries) {
        const EntryHeader& header = entry.header;
        zip_fileinfo info{};
        info.dosDate = header.dosDateTime;
        info.external_fa = header.attributes;
        const uInt extraSize = static_cast<uInt>(header.extraField.size());
        const int method = header.method == Z_DEFLATED ? Z_DEFLATED : 0;
        zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, header.extraField.data(), extraSize, header.extraField.data(),
                                extraSize, nullptr, method, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                Z_DEFAULT_STRATEGY, nullptr, 0, header.versionMadeBy, header.flags, 0);
        if (!entry.content.empty()) zipWriteInFileInZip(zip, entry.content.data(), static_cast<unsigned>(entry.content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::string archive = ReadFileBytes(file);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const unsigned method = m_entries[i].header.method;
        if (method != 0 && method != Z_DEFLATED) SetMethod(archive, i, method);
    }
    return archive;
}

}  // namespace testing_support
