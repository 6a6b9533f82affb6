// The installer object with its install steps within the tests' reach.
#pragma once

#include "installer/ExcelToolInstallerDlg.h"

namespace testing_support {

class InstallerUnderTest : public CExcelToolInstallerDlg {
public:
    explicit InstallerUnderTest(const std::wstring& inFrom = L"") : CExcelToolInstallerDlg(inFrom) {}

    using CExcelToolInstallerDlg::Mode;
    using CExcelToolInstallerDlg::RecordInstallation;
    using CExcelToolInstallerDlg::RunAndRemoveClientProgram;
    using CExcelToolInstallerDlg::RunPostInstallSteps;
    using CExcelToolInstallerDlg::m_strLaunchPath;
};

}  // namespace testing_support
