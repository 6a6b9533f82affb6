#include "installer/ArchiveLog.h"

#include "archive/BoundedPath.h"
#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/InstallLog.h"

namespace {

constexpr wchar_t kCheckStep[] = L"archive checked";
constexpr wchar_t kUnpackStep[] = L"unpacked";

// The check's own reason for refusing an entry.
std::wstring RefusalReason(const Unzipper& unzipper)
{
    const std::wstring& name = unzipper.RefusedEntry();
    switch (unzipper.Refusal()) {
    case EntryRefusal::Method:
        return L"entry refused, compressed by a method this installer does not unpack (only stored and deflated): " + name;
    case EntryRefusal::Encrypted:
        return L"entry refused, it is encrypted: " + name;
    case EntryRefusal::Name:
        return L"entry refused, its name leads outside the install folder, names a device or holds a character no "
               L"Windows file name may hold: " + name;
    case EntryRefusal::Length:
        return L"entry refused, its path below the install folder (and the staging folder beside it) is too long for Windows: " + name;
    case EntryRefusal::Collision:
        return L"entries refused, they name the same file on Windows (letter case aside): " + unzipper.CollidingEntry() +
               L" and " + name;
    case EntryRefusal::LocalHeader:
        return L"entry refused, its local header is damaged or contradicts the archive's directory (method or sizes): " + name;
    default:
        return L"the archive's directory is damaged";
    }
}

}  // namespace

void LogArchiveCheck(Unzipper& unzipper, bool opened, bool checked, const std::wstring& archive)
{
    InstallLog& log = InstallLog::Instance();
    if (!log.IsOpen()) return;
    if (checked) {
        log.Step(kCheckStep, framework::Format(L"%u entries", unzipper.GetFileCount()));
    } else if (!opened) {
        log.Failure(kCheckStep, L"not a ZIP archive, or it cannot be read", archive, ERROR_SUCCESS);
    } else if (unzipper.GetFileCount() == 0) {
        log.Failure(kCheckStep, L"the archive holds no entries, or its directory cannot be read", archive, ERROR_SUCCESS);
    } else {
        log.Failure(kCheckStep, RefusalReason(unzipper), archive, ERROR_SUCCESS);
    }
}

void LogUnpacking(Unzipper& unzipper, bool unpacked, const std::wstring& installFolder)
{
    const DWORD error = ::GetLastError();
    InstallLog& log = InstallLog::Instance();
    if (!log.IsOpen()) return;
    if (!unpacked) {
        // The unpacking stops at the entry that failed, which is still the current one.
        std::wstring name;
        if (unzipper.Refusal() != EntryRefusal::None) {
            log.Failure(kUnpackStep, RefusalReason(unzipper), installFolder, error);
        } else if (!unzipper.GetCurrentEntryName(name)) {
            log.Failure(kUnpackStep, L"the archive's directory is damaged", installFolder, error);
        } else {
            log.Failure(kUnpackStep, L"stopped at entry " + name + L": it is damaged, or it could not be written",
                        JoinPath(installFolder, name), error);
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
