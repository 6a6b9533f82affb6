// Helpers for the tests, which run as Windows programs under Wine in a prefix of their own:
// scratch folders, whole-file reads and writes, starting a program and reading its exit status,
// and copies of setup.exe with a payload of the test's choosing.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

namespace testing_support {

// The setup.exe of the build (a Z:\ path into the build tree).
std::wstring SetupExePath();
// A file of the build tree, by its path relative to the build folder ("sample/product.zip").
std::wstring BuildFile(const std::wstring& relative);
// An entry of the sample product archive the build packed ("client/3.2.1/Lib/Brenvik.dll");
// throws when the archive has no such entry.
std::string SampleProductEntry(const char* name);

// A fresh folder below the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::string narrow() const;

private:
    std::wstring m_path;
};

// Removes a folder tree without following links; quietly does nothing for a missing path.
void RemoveTree(const std::wstring& path);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Creates the folder and its parents.
void MakeFolders(const std::wstring& path);
// Every file and folder below root, relative, with '\', folders ending in '\', sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);
// The same entries with each file's content ("" for a folder): a tree compared file for file.
std::map<std::wstring, std::string> ReadTree(const std::wstring& root);

// A share \\server\share of the test's own: Wine reaches \\server\share\... in the prefix's
// dosdevices\unc\server\share, a plain folder made here. Returns "\\server\share".
std::wstring MakeShare(const std::wstring& server, const std::wstring& share);

// Sets the prefix's user shell folder (both "User Shell Folders" and "Shell Folders") named
// value, such as "AppData", "Programs" or "Desktop", as a domain policy redirects it.
void RedirectShellFolder(const wchar_t* value, const std::wstring& folder);

// A shell folder of the prefix (CSIDL_APPDATA, CSIDL_PROGRAMS, ...), without a trailing '\'.
std::wstring KnownFolder(int csidl);
// The process's temporary folder, with its trailing '\', where setup.exe writes its payloads.
std::wstring TempPath();
// The "Install" value of the .NET Framework 2.0 setup key; 0 when it is missing or no DWORD.
DWORD DotNet20InstallValue();
std::string Narrow(const std::wstring& text);   // ANSI code page
std::wstring Widen(const std::string& text);    // ANSI code page

// Starts a program and waits for it; returns its exit status, or 0xDEADBEEF when it could not
// be started or did not end within the timeout (it is then terminated).
DWORD RunAndWait(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs = 180000);

// Copies setup.exe to target and replaces one embedded resource through the system's
// resource-update functions. (Wine's cannot remove one: for a setup.exe without its product
// archive use the build's variants/without-product/setup.exe.)
void CopySetupWithResource(const std::wstring& target, const wchar_t* type, WORD id, const std::string* data);

// The install folder a run of setup.exe in this prefix uses.
std::wstring InstallFolder();
// What lies in the Corvane folder beside the install folder (as ListTree, without the install
// folder's own entries): what an installation left behind.
std::vector<std::wstring> BesideInstallFolder();

// How an entry's headers describe it, beyond its name and content.
struct EntryHeader {
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;  // external attributes stored in the directory
    DWORD dosDateTime = 0x5A216000;
    WORD versionMadeBy = 0;  // the high byte names the host system: 0 MS-DOS, 3 Unix
    WORD flags = 0;          // general-purpose bits: 0x0800 UTF-8 name, 0x0001 encrypted, ...
    // Any method but stored (0) and deflated (8) is only written into the headers: the content
    // is stored as given.
    WORD method = 8;
    std::string extraField;  // written into both the local and the directory header
};

// Where the index-th entry's local header starts in an archive ZipBuilder built.
size_t LocalHeaderOffset(const std::string& archive, size_t index);

// A ZIP archive built entry by entry with minizip, names stored exactly as given.
class ZipBuilder {
public:
    // Adds a file entry; attributes are the external attributes stored in the directory.
    ZipBuilder& File(const std::string& name, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE,
                     WORD dosDate = 0x5A21, WORD dosTime = 0x6000);
    ZipBuilder& File(const std::string& name, const std::string& content, const EntryHeader& header);
    ZipBuilder& Folder(const std::string& name);
    // The archive's bytes.
    std::string Build() const;

private:
    struct Entry {
        std::string name;
        std::string content;
        EntryHeader header;
    };
    std::vector<Entry> m_entries;
};

}  // namespace testing_support
