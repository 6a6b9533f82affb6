// Writing an embedded resource of setup.exe out to a file, whole.
#include "installer/ExcelToolInstallerDlg.h"

#include "framework/Text.h"
#include "installer/InstallLog.h"

bool CExcelToolInstallerDlg::ExtractResourceToFile(const std::wstring& path, WORD id, const std::string& type)
{
    InstallLog& log = InstallLog::Instance();
    const std::wstring step = framework::Format(L"payload %hs written out", type.c_str());

    const HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), type.c_str());
    const DWORD size = ::SizeofResource(nullptr, resource);
    const HGLOBAL data = ::LoadResource(nullptr, resource);
    if (!data || size == 0) {
        log.Failure(step, L"setup.exe does not carry it, or it is empty", L"", ::GetLastError());
        return false;
    }
    // Written straight from the loaded image: the payload is never copied in memory.
    const void* bytes = ::LockResource(data);

    framework::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        log.Failure(step, L"the file cannot be created", path, ::GetLastError());
        return false;
    }
    ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    DWORD written = 0;
    const bool complete = ::WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
    const DWORD error = complete ? ERROR_SUCCESS : ::GetLastError();
    file.reset();
    if (!complete) {
        log.Failure(step, framework::Format(L"only %lu of %lu bytes written", written, size), path, error);
        // A short write (a full disk) must not leave a truncated payload that looks complete.
        ::DeleteFileW(path.c_str());
        return false;
    }
    log.Step(step, framework::Format(L"%ls, %lu bytes", path.c_str(), size));
    return true;
}
