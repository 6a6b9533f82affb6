// The install sequence: settle what an interrupted run left, write the product archive out,
// judge it, unpack it beside the install folder, put it in the install folder's place, then the
// post-install steps while the earlier installation is deleted. Wizard and silent mode run the
// same steps.
#include "installer/ExcelToolInstallerDlg.h"

#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/upgrade/ArchiveFit.h"
#include "installer/ArchiveLog.h"
#include "installer/upgrade/BackgroundTask.h"
#include "installer/upgrade/EmptyFolder.h"
#include "installer/upgrade/FolderSwap.h"
#include "installer/InstallLog.h"
#include "installer/upgrade/StagedUnpack.h"
#include "installer/upgrade/UpgradeFolders.h"
#include "installer/upgrade/UpgradeRecovery.h"
#include "resources/resource.h"

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
    const UpgradeFolders folders(m_strInstallDir);
    const std::wstring archive = m_strTempDir + L"~temp.install.data.zip";
    // An interrupted run is settled first, so that the user has a product again even when this
    // run fails.
    if (!RecoverInterruptedUpgrade(folders) ||
        !ExtractResourceToFile(framework::WideToAnsi(archive).str(), IDR_INSTALLDATA, "INSTALLDATA") ||
        !UnpackProduct(archive, folders)) {
        MarkInstallDone(false);
        return false;
    }
    m_strLaunchPath = m_strInstallDir + L"StartUp.exe";
    // The earlier installation, set aside by the swap, is deleted while the post-install steps
    // run; the sequence, and with it the process, ends only once it is gone.
    BackgroundTask deletion([&folders] { DeleteFolderTree(folders.previous); });
    RunPostInstallSteps(mode);
    deletion.Wait();
    MarkInstallDone(true);
    return true;
}

bool CExcelToolInstallerDlg::UnpackProduct(const std::wstring& archivePath, const UpgradeFolders& folders)
{
    // Whatever can be judged without writing is judged first: an archive that does not open,
    // whose directory does not read, that names a file outside the install folder or a path
    // that does not fit below it, a disk without room for it beside the earlier installation,
    // and a product file in use (the product still running) refuse the installation before
    // anything is written. The probe of the earlier installation waits on the file system; it
    // runs while the archive is read.
    bool inUse = false;
    BackgroundTask probe([&inUse, &folders] { inUse = FolderHasFileInUse(folders.install); });
    Unzipper unzipper;
    const bool opened = unzipper.OpenZip(framework::WideToAnsi(archivePath).get());
    const bool checked = opened && unzipper.CheckAllEntries(folders.staging.c_str());
    LogArchiveCheck(unzipper, opened, checked, archivePath);
    const bool fits = checked && ArchiveFitsStaging(unzipper, folders);
    probe.Wait();
    if (checked && !fits) {
        InstallLog::Instance().Failure(L"unpacked", L"not enough free space for the product beside the earlier installation",
                                       folders.parent, ERROR_DISK_FULL);
    }
    if (!fits) return false;
    if (inUse) {
        InstallLog::Instance().Failure(L"unpacked", L"a file of the earlier installation is in use", folders.install,
                                       ERROR_SHARING_VIOLATION);
        return false;
    }
    // Until the swap the earlier installation stays as it was; a failure up to there costs only
    // the staging folder.
    const bool unpacked = UnpackIntoStaging(unzipper, folders.staging);
    LogUnpacking(unzipper, unpacked, folders.staging + L"\\");
    if (!unpacked) return false;
    if (SwapInStagedProduct(folders)) return true;
    InstallLog::Instance().Failure(L"swapped in", L"the unpacked product could not take the install folder's place",
                                   folders.install, ::GetLastError());
    DeleteFolderTree(folders.staging);
    return false;
}

void CExcelToolInstallerDlg::MarkInstallDone(bool succeeded)
{
    m_bInstallSucceeded.store(succeeded, std::memory_order_relaxed);
    // Last: the wizard's progress thread reads m_strLaunchPath only after seeing this flag.
    m_bInstallDone.store(true, std::memory_order_release);
}
