#include "installer/ArchiveLog.h"

#include <cstring>

#include "archive/EntryName.h"
#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"

namespace {

constexpr wchar_t kCheckStep[] = L"archive checked";
constexpr wchar_t kUnpackStep[] = L"unpacked";

// The current entry's name, as the archive stores it, in UTF-16; false when its directory
// record cannot be read.
bool CurrentEntryName(Unzipper& unzipper, std::wstring& name, bool& refused)
{
    UZ_FileInfo info;
    if (!unzipper.GetFileInfo(info)) return false;
    name = framework::AnsiToWide(info.szFileName).str();
    refused = !IsSafeEntryName(info.szFileName) || std::strlen(info.szFileName) >= MAX_PATH;
    return true;
}

}  // namespace

void LogArchiveCheck(Unzipper& unzipper, bool opened, bool checked, const std::wstring& archive)
{
    InstallLog& log = InstallLog::Instance();
    if (!log.IsOpen()) return;
    if (checked) {
        log.Step(kCheckStep, framework::Format(L"%u entries", unzipper.GetFileCount()));
        return;
    }
    std::wstring name;
    bool refused = false;
    if (!opened) {
        log.Failure(kCheckStep, L"not a ZIP archive, or it cannot be read", archive, ERROR_SUCCESS);
    } else if (unzipper.GetFileCount() == 0) {
        log.Failure(kCheckStep, L"the archive holds no entries, or its directory cannot be read", archive, ERROR_SUCCESS);
    } else if (!CurrentEntryName(unzipper, name, refused)) {
        log.Failure(kCheckStep, L"the archive's directory is damaged", archive, ERROR_SUCCESS);
    } else {
        // The check stops at the first entry it refuses, which is still the current one.
        log.Failure(kCheckStep,
                    (refused ? L"entry name refused (it leads outside the install folder or does not fit): "
                             : L"damaged entry: ") + name,
                    archive, ERROR_SUCCESS);
    }
}

void LogUnpacking(Unzipper& unzipper, bool unpacked, const std::wstring& folder)
{
    const DWORD error = ::GetLastError();
    InstallLog& log = InstallLog::Instance();
    if (!log.IsOpen()) return;
    if (!unpacked) {
        // The unpacking stops at the entry that failed, which is still the current one.
        std::wstring name;
        bool refused = false;
        if (!CurrentEntryName(unzipper, name, refused)) {
            log.Failure(kUnpackStep, L"the archive's directory is damaged", folder, error);
        } else {
            log.Failure(kUnpackStep, L"stopped at entry " + name + L": it is damaged, or it could not be written", folder + name,
                        error);
        }
        return;
    }
    unsigned files = 0;
    unsigned long long bytes = 0;
    UZ_FileInfo info;
    for (bool more = unzipper.GotoFirstFile(); more && unzipper.GetFileInfo(info); more = unzipper.GotoNextFile()) {
        if (info.bFolder) continue;
        ++files;
        bytes += info.dwUncompressedSize;
    }
    log.Step(kUnpackStep, framework::Format(L"%u files, %I64u bytes", files, bytes));
}
