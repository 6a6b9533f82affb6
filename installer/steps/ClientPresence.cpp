// Whether the companion client is on the machine already: its URL protocol key naming an
// existing program, or its program file in the application-data folder. Only reads.
#include "installer/ExcelToolInstallerDlg.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "framework/Text.h"
#include "installer/ProfilePath.h"

namespace {

bool UrlProtocolNamesExistingFile()
{
    framework::RegKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Apps", 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) return false;
    // 256 units, the last kept zero: a text of up to 255 units is accepted, a longer one does
    // not fit and counts as absent. The value's type is not examined.
    wchar_t value[256] = {};
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.get(), L"URL Protocol", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        return false;
    }
    value[255] = L'\0';
    return ::PathFileExistsW(value) != FALSE;
}

bool ClientProgramFileExists(HANDLE userToken)
{
    const std::wstring appData = UserShellFolder(CSIDL_APPDATA, userToken);
    const std::wstring path = framework::Format(L"%ls\\Vantor Apps\\Client\\start.exe", appData.c_str());
    return ::PathFileExistsW(path.c_str()) != FALSE;
}

}  // namespace

bool CExcelToolInstallerDlg::IsClientInstalled()
{
    return UrlProtocolNamesExistingFile() || ClientProgramFileExists(m_hUserToken.get());
}
