// Writing an embedded resource of setup.exe out to a file, whole.
#include "installer/ExcelToolInstallerDlg.h"

bool CExcelToolInstallerDlg::ExtractResourceToFile(const std::string& path, WORD id, const std::string& type)
{
    const HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), type.c_str());
    const DWORD size = ::SizeofResource(nullptr, resource);
    const HGLOBAL data = ::LoadResource(nullptr, resource);
    if (!data || size == 0) return false;
    // Written straight from the loaded image: the payload is never copied in memory.
    const void* bytes = ::LockResource(data);

    framework::KernelHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    DWORD written = 0;
    const bool complete = ::WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
    file.reset();
    if (!complete) {
        // A short write (a full disk) must not leave a truncated payload that looks complete.
        ::DeleteFileA(path.c_str());
        return false;
    }
    return true;
}
