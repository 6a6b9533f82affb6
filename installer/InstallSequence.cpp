// The install sequence: write the product archive out, judge it, empty the install folder,
// unpack, then the post-install steps. Wizard and silent mode run the same steps.
#include "installer/ExcelToolInstallerDlg.h"

#include "archive/Unzipper.h"
#include "framework/Text.h"
#include "installer/ArchiveLog.h"
#include "installer/EmptyFolder.h"
#include "installer/InstallLog.h"
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
    const std::wstring archive = m_strTempDir + L"~temp.install.data.zip";
    if (!ExtractResourceToFile(framework::WideToAnsi(archive).str(), IDR_INSTALLDATA, "INSTALLDATA") ||
        !UnpackProduct(archive)) {
        MarkInstallDone(false);
        return false;
    }
    m_strLaunchPath = m_strInstallDir + L"StartUp.exe";
    RunPostInstallSteps(mode);
    MarkInstallDone(true);
    return true;
}

bool CExcelToolInstallerDlg::UnpackProduct(const std::wstring& archivePath)
{
    Unzipper unzipper;
    // An archive that does not open, whose directory does not read or that names a file outside
    // the install folder is refused before anything is deleted: an earlier installation stays.
    // So it does while one of its files is held open (the product still running): it could be
    // neither removed nor replaced.
    const bool opened = unzipper.OpenZip(framework::WideToAnsi(archivePath).get());
    const bool checked = opened && unzipper.CheckAllEntries();
    LogArchiveCheck(unzipper, opened, checked, archivePath);
    if (!checked) return false;
    if (FolderHasFileInUse(m_strInstallDir)) {
        InstallLog::Instance().Failure(L"unpacked", L"a file of the earlier installation is in use", m_strInstallDir,
                                       ERROR_SHARING_VIOLATION);
        return false;
    }
    EmptyFolder(m_strInstallDir, false);
    const bool unpacked = unzipper.ExtractAll(framework::WideToAnsi(m_strInstallDir).get(), false);
    LogUnpacking(unzipper, unpacked, m_strInstallDir);
    return unpacked;
}

void CExcelToolInstallerDlg::MarkInstallDone(bool succeeded)
{
    m_bInstallSucceeded.store(succeeded, std::memory_order_relaxed);
    // Last: the wizard's progress thread reads m_strLaunchPath only after seeing this flag.
    m_bInstallDone.store(true, std::memory_order_release);
}
