// File and path utilities shared by the shortcut step, the archive reader and the archive
// writer: folder chains, deletion, moving and renaming through the shell's file operations,
// separator clean-up and wide-to-narrow conversion. Narrow forms take text in the ANSI code
// page. Integer results: 0 success, -100 bad argument or folder not created, -97 destination
// folder not created, anything else the shell file operation's own code.
//
// None of these functions ever raises a dialog (the shell is told FOF_NOERRORUI), follows a
// junction or symbolic link when deleting, or truncates a path that does not fit the shell's
// fixed buffers: such a path is refused with the function's failure result.
#pragma once

#include <windows.h>

#include <string>

constexpr int FILEUTIL_OK = 0;
constexpr int FILEUTIL_BAD_ARGUMENT = -100;
constexpr int FILEUTIL_NO_DESTINATION = -97;

// Creates the folder and all missing parents. Drive-letter paths and share paths
// (\\server\share\..., see IsSharePath) are accepted; any other path of three or more
// characters (relative, device or verbatim forms, a share written with '/') gives -100
// untouched, and so does a path of MAX_PATH characters or more.
int ensure_folder(const char* path);
int ensure_folder(const wchar_t* path);

// The recursion behind ensure_folder: true when the folder exists afterwards. A folder that
// appears between the test and the creation counts as failure. The server and the share of a
// share path are never created, only the folders below them.
bool create_folder_chain(const std::string& path);
bool create_folder_chain(const std::wstring& path);

// Whether path names a folder on a server share: \\server\share, optionally followed by
// '\' and more, with backslashes only. The device and verbatim forms (\\.\..., \\?\...)
// are not share paths.
bool IsSharePath(const std::wstring& path);

// The verbatim form (\\?\C:\..., \\?\UNC\server\share\...) of an absolute drive or share path,
// for the functions that must reach paths of any length; any other path is returned as it is.
// The path must already be whole: the verbatim form resolves no "." or "..".
std::wstring ExtendedLengthPath(const std::wstring& path);

// Deletes a folder (or file) permanently; a missing path is success. Links inside the tree are
// removed themselves, never followed.
int delete_folder(const wchar_t* path, bool confirm, bool showProgress);

bool path_exists(const char* path);

// Renames from to to; a bare name in to renames within from's folder.
bool rename_path(const char* from, const char* to);

// Moves a file into folder (created when missing), replacing an item of the same name there.
int move_to_folder(const char* source, const char* folder);

// Every run of two or more separators becomes one, wherever it stands (a UNC prefix too).
std::string collapse_separators(const char* text, char separator);
std::wstring collapse_separators(const wchar_t* text, wchar_t separator);

// Overwrites trailing blanks, backslashes and slashes with zero characters.
void trim_trailing_separators(wchar_t* text);

// Removes a file or an empty folder, and a link of either kind without touching its target.
bool RemoveLinkOrFile(const wchar_t* path, DWORD attributes);

// The narrow copy of a wide text in a given code page. A null text gives a null copy and still
// counts as success.
class MultiByteBuffer {
public:
    MultiByteBuffer(const wchar_t* text, UINT codePage);
    ~MultiByteBuffer();
    MultiByteBuffer(const MultiByteBuffer&) = delete;
    MultiByteBuffer& operator=(const MultiByteBuffer&) = delete;

    const char* get() const { return m_text; }
    bool ok() const { return m_error == 0; }

    enum Error { NoError = 0, NoMemory = 1, ConversionFailed = 4 };

private:
    UINT m_codePage;
    int m_error = NoError;
    char* m_text = nullptr;
    bool m_owns = false;
};
