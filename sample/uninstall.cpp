// Stand-in uninstaller of the sample product: removes the install folder and the shortcuts.
// It lives inside the folder it removes, so it first copies itself to the temporary folder and
// lets the copy do the work once the original has ended.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

namespace {

const wchar_t kProduct[] = L"绘途";

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? std::wstring(path) : std::wstring();
}

void DeleteTree(const std::wstring& path)
{
    std::wstring list = path;
    list.push_back(L'\0');  // the shell takes a list ending in two zero characters
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&operation);
}

void RemoveProduct(const std::wstring& installDir)
{
    for (int attempt = 0; attempt < 20 && GetFileAttributesW(installDir.c_str()) != INVALID_FILE_ATTRIBUTES; ++attempt) {
        DeleteTree(installDir);
        Sleep(250);  // the original may still be ending
    }
    const std::wstring brand = L"\\栖杉坊\\";
    DeleteTree(KnownFolder(CSIDL_PROGRAMS) + brand + kProduct);
    DeleteTree(KnownFolder(CSIDL_COMMON_PROGRAMS) + brand + kProduct);
    DeleteFileW((KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kProduct + L".lnk").c_str());
    DeleteFileW((KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + kProduct + L".lnk").c_str());
}

// client\<version>\uninstall.exe → the install folder, three levels up.
std::wstring InstallDirOf(std::wstring exe)
{
    for (int level = 0; level < 3; ++level) exe = exe.substr(0, exe.find_last_of(L'\\'));
    return exe;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv && count == 3 && wcscmp(argv[1], L"-remove") == 0) {
        RemoveProduct(argv[2]);
        LocalFree(argv);
        return 0;
    }
    if (argv) LocalFree(argv);

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"plandrel-uninstall.exe";
    if (!CopyFileW(self, copy.c_str(), FALSE)) return 1;
    const std::wstring parameters = L"-remove \"" + InstallDirOf(self) + L"\"";
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.lpFile = copy.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    return ShellExecuteExW(&info) ? 0 : 2;
}
