#include "tests/support/ShellLinkReader.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/ScopedHandle.h"

namespace testing_support {

ShellLinkInfo ReadShellLink(const std::wstring& path)
{
    ShellLinkInfo info;
    const framework::ComApartment apartment;
    framework::ComPtr<IShellLinkW> link;
    framework::ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.receive())) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return info;
    }
    wchar_t buffer[MAX_PATH] = {};
    link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    info.target = buffer;
    buffer[0] = L'\0';
    link->GetWorkingDirectory(buffer, MAX_PATH);
    info.workingDirectory = buffer;
    buffer[0] = L'\0';
    link->GetIconLocation(buffer, MAX_PATH, &info.iconIndex);
    info.iconPath = buffer;
    info.loaded = true;
    return info;
}

}  // namespace testing_support
