// The install sequence: take the install folder's lock, settle what an interrupted run left,
// write the product archive out, judge it, unpack it beside the install folder, put it in the
// install folder's place, then the post-install steps while the earlier installation is deleted.
// Wizard and silent mode run the same steps.
#include "installer/ExcelToolInstallerDlg.h"

#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/upgrade/ArchiveFit.h"
#include "installer/ArchiveLog.h"
#include "installer/upgrade/BackgroundTask.h"
#include "installer/upgrade/FolderTree.h"
#include "installer/InstallLog.h"
#include "installer/upgrade/FileHolders.h"
#include "installer/upgrade/FolderSwap.h"
#include "installer/upgrade/Leftovers.h"
#include "installer/upgrade/RunLock.h"
#include "installer/upgrade/StagedUnpack.h"
#include "installer/upgrade/UpgradeFolders.h"
#include "installer/upgrade/UpgradeRecovery.h"
#include "resources/resource.h"

namespace {

// Enough files to find the programs that hold them; the probe stops there.
constexpr size_t kInUseFilesToName = 64;

}  // namespace

bool CExcelToolInstallerDlg::DoInstall()
{
    ::Sleep(2000);
    return RunInstallSequence(Mode::Wizard);
}

bool CExcelToolInstallerDlg::SilentInstall()
{
    return RunInstallSequence(Mode::Silent);
}

int CExcelToolInstallerDlg::RunSilent()
{
    return SilentInstall() ? 0 : -1;
}

bool CExcelToolInstallerDlg::RunInstallSequence(Mode mode)
{
    if (m_strInstallDir.empty()) {
        MarkInstallDone(false);
        return false;
    }
    const UpgradeFolders folders = UpgradeFolders::Of(m_strInstallDir);
    const std::wstring archive = m_strTempDir + L"~temp.install.data.zip";
    // Held until the earlier installation is deleted: another run must not take this run's
    // staging folder for an interrupted run's.
    const RunLock lock(folders.install);
    if (!lock.Held()) {
        InstallLog::Instance().Failure(L"started", L"another setup.exe kept the install folder too long",
                                       folders.install, lock.Error());
        MarkInstallDone(false);
        return false;
    }
    // An interrupted run is settled first, so that the user has a product again even when this
    // run fails.
    if (!RecoverInterruptedUpgrade(folders) ||
        !ExtractResourceToFile(archive, IDR_INSTALLDATA, "INSTALLDATA") ||
        !UnpackProduct(archive, folders, mode)) {
        MarkInstallDone(false);
        return false;
    }
    m_strLaunchPath = m_strInstallDir + L"StartUp.exe";
    // The earlier installation, set aside by the swap, is deleted while the post-install steps
    // run; the sequence, and with it the process, ends only once it is gone.
    BackgroundTask deletion([&folders] { DeleteOrMoveAside(folders.previous, folders); });
    RunPostInstallSteps(mode);
    deletion.Wait();
    MarkInstallDone(true);
    return true;
}

bool CExcelToolInstallerDlg::UnpackProduct(const std::wstring& archivePath, const UpgradeFolders& folders, Mode mode)
{
    // Whatever can be judged without writing is judged first: an archive that does not open,
    // whose directory does not read, that names a file outside the install folder or a path
    // that does not fit below it, a disk without room for it beside the earlier installation,
    // and a product file in use (the product still running) refuse the installation before
    // anything is written. The probe of the earlier installation waits on the file system; it
    // runs while the archive is read.
    std::vector<std::wstring> inUse;
    BackgroundTask probe([&inUse, &folders] { inUse = FilesInUseBelow(folders.install, kInUseFilesToName); });
    Unzipper unzipper;
    const bool opened = unzipper.OpenZip(archivePath.c_str());
    const bool checked = opened && unzipper.CheckAllEntries(folders.staging.c_str());
    LogArchiveCheck(unzipper, opened, checked, archivePath);
    const bool fits = checked && ArchiveFitsStaging(unzipper, folders);
    probe.Wait();
    if (checked && !fits) {
        InstallLog::Instance().Failure(L"unpacked", L"not enough free space for the product beside the earlier installation",
                                       folders.parent, ERROR_DISK_FULL);
    }
    if (!fits || !EarlierInstallationFree(std::move(inUse), folders, mode)) return false;
    // Until the swap the earlier installation stays as it was; a failure up to there costs only
    // the staging folder.
    const bool unpacked = UnpackIntoStaging(unzipper, folders);
    LogUnpacking(unzipper, unpacked, folders.install);
    if (!unpacked) return false;
    // A program may have taken hold of the earlier installation while the product was being
    // unpacked: the wizard asks again, and the staged product waits for the answer.
    for (;;) {
        const SwapOutcome swap = SwapInStagedProduct(folders);
        if (swap.swapped) return true;
        LogSwapFailure(swap, folders);
        std::vector<std::wstring> inUse = FilesInUseBelow(folders.install, kInUseFilesToName);
        if (inUse.empty() || !EarlierInstallationFree(std::move(inUse), folders, mode)) break;
    }
    DeleteOrMoveAside(folders.staging, folders);
    return false;
}

void CExcelToolInstallerDlg::LogSwapFailure(const SwapOutcome& swap, const UpgradeFolders& folders)
{
    InstallLog::Instance().Failure(L"swapped in", framework::Format(L"could not %ls (%ls to %ls)", swap.failedRename,
                                                                    swap.from.c_str(), swap.to.c_str()),
                                   folders.install, swap.error);
    if (!swap.earlierInPlace) {
        InstallLog::Instance().Failure(L"swapped in", L"the earlier installation is set aside; the next run puts it back",
                                       folders.previous, ERROR_SUCCESS);
    }
}

std::vector<HoldingProgram> CExcelToolInstallerDlg::LogProgramsHolding(const std::vector<std::wstring>& inUse,
                                                                       const UpgradeFolders& folders)
{
    if (inUse.empty()) return {};
    InstallLog::Instance().Failure(L"unpacked", L"a file of the earlier installation is in use", inUse.front(),
                                   ERROR_SHARING_VIOLATION);
    std::vector<HoldingProgram> holders = ProgramsHoldingFiles(inUse, folders.install);
    for (const HoldingProgram& holder : holders) {
        InstallLog::Instance().Step(L"in use by", framework::Format(L"%ls (process %lu)", holder.imageName.c_str(),
                                                                    holder.processId));
    }
    return holders;
}

bool CExcelToolInstallerDlg::EarlierInstallationFree(std::vector<std::wstring> inUse, const UpgradeFolders& folders,
                                                     Mode mode)
{
    // In the wizard the user may close the programs named and try again.
    while (!inUse.empty()) {
        const std::vector<HoldingProgram> holders = LogProgramsHolding(inUse, folders);
        if (mode == Mode::Silent || !AskToClosePrograms(holders)) return false;
        inUse = FilesInUseBelow(folders.install, kInUseFilesToName);
    }
    return true;
}

void CExcelToolInstallerDlg::MarkInstallDone(bool succeeded)
{
    m_bInstallSucceeded.store(succeeded, std::memory_order_relaxed);
    // Last: the wizard's progress thread reads m_strLaunchPath only after seeing this flag.
    m_bInstallDone.store(true, std::memory_order_release);
}
