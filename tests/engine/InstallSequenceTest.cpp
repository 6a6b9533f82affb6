// Silent installations by setup.exe and by copies of it with a payload of the test's making,
// each test in a fresh prefix.
#include <gtest/gtest.h>

#include <string>

#include "archive/Unzipper.h"
#include "tests/support/ArchiveMutation.h"
#include "tests/support/ShellLinkReader.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr DWORD kFailed = 0xFFFFFFFF;  // exit status -1

// A setup.exe in a folder of its own whose product archive is the given bytes.
class SetupWithProduct {
public:
    explicit SetupWithProduct(const std::string& archive) { CopySetupWithResource(m_exe, L"INSTALLDATA", 199, &archive); }
    DWORD RunSilent() const { return RunAndWait(m_exe, L"-silent"); }

private:
    TempFolder m_folder;
    std::wstring m_exe = m_folder / L"setup.exe";
};

// An earlier installation: a few files, one read-only, in the install folder.
void PlantEarlierInstallation()
{
    WriteFileBytes(InstallFolder() + L"StartUp.exe", "earlier launcher");
    WriteFileBytes(InstallFolder() + L"old\\notes.txt", "earlier notes");
    WriteFileBytes(InstallFolder() + L"keep.txt", "read-only");
    ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

std::vector<std::wstring> EarlierInstallation()
{
    return {L"StartUp.exe", L"keep.txt", L"old\\", L"old\\notes.txt"};
}

TEST(InstallSequence, SampleProductIsUnpackedWithItsFoldersTimesAndAttributes)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::wstring archive = BuildFile(L"sample/product.zip");
    Unzipper unzipper(Narrow(archive).c_str());
    UZ_FileInfo info;
    int files = 0;
    for (bool more = unzipper.GotoFirstFile(); more; more = unzipper.GotoNextFile()) {
        ASSERT_TRUE(unzipper.GetFileInfo(info));
        const std::wstring path = InstallFolder() + Widen(info.szFileName);
        if (info.bFolder) {
            EXPECT_TRUE(FolderExists(path)) << info.szFileName;
            continue;
        }
        if (std::string(info.szFileName) == "VantorCenter_Client.exe") {
            EXPECT_FALSE(FileExists(path)) << "the client program is removed after it ran";
            continue;
        }
        ++files;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << info.szFileName;
        EXPECT_EQ(data.nFileSizeLow, info.dwUncompressedSize);
        FILETIME local{}, utc{};
        ::DosDateTimeToFileTime(HIWORD(info.dwDosDate), LOWORD(info.dwDosDate), &local);
        ::LocalFileTimeToFileTime(&local, &utc);
        EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, utc.dwLowDateTime) << info.szFileName;
        EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY, info.dwExternalAttrib & FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_GE(files, 5);
    EXPECT_TRUE(FileExists(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk"));
}

TEST(InstallSequence, OverAnEarlierInstallationOnlyTheNewProductAndUndeletableFilesRemain)
{
    PlantEarlierInstallation();
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_FALSE(FolderExists(InstallFolder() + L"old")) << "files the new archive lacks disappear";
    EXPECT_EQ(ReadFileBytes(InstallFolder() + L"keep.txt"), "read-only") << "a read-only file survives";
    EXPECT_NE(ReadFileBytes(InstallFolder() + L"StartUp.exe"), "earlier launcher");
    ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(InstallSequence, MissingPayloadFailsAndLeavesTheInstallFolderAlone)
{
    PlantEarlierInstallation();
    EXPECT_EQ(RunAndWait(BuildFile(L"variants/without-product/setup.exe"), L"-silent"), kFailed);
    EXPECT_EQ(ListTree(InstallFolder()), EarlierInstallation());
    ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(InstallSequence, ArchiveReachingOutsideTheInstallFolderIsRefusedBeforeAnythingChanges)
{
    for (const char* evil : {"..\\evil.txt", "C:\\evil.txt", "..\\..\\evil.txt", "sub/../../evil.txt"}) {
        SCOPED_TRACE(evil);
        PlantEarlierInstallation();
        const std::string archive = ZipBuilder().File("StartUp.exe", "new launcher").File(evil, "evil").Build();
        const SetupWithProduct setup(archive);
        EXPECT_EQ(setup.RunSilent(), kFailed);
        EXPECT_EQ(ListTree(InstallFolder()), EarlierInstallation());
        EXPECT_EQ(ReadFileBytes(InstallFolder() + L"StartUp.exe"), "earlier launcher");
        EXPECT_FALSE(FileExists(L"C:\\evil.txt"));
        EXPECT_FALSE(FileExists(KnownFolder(CSIDL_APPDATA) + L"\\Corvane\\evil.txt"));
        EXPECT_FALSE(FileExists(KnownFolder(CSIDL_APPDATA) + L"\\evil.txt"));
        ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(InstallSequence, ArchivesThatCannotBeReadFailAndKeepTheEarlierInstallation)
{
    const std::string sample = SampleArchive();
    for (const std::string& broken : {sample.substr(0, sample.size() / 2), std::string("not a zip archive at all"),
                                      ZipBuilder().Build()}) {
        PlantEarlierInstallation();
        const SetupWithProduct setup(broken);
        EXPECT_EQ(setup.RunSilent(), kFailed);
        EXPECT_EQ(ListTree(InstallFolder()), EarlierInstallation());
        ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(InstallSequence, ASilentInstallationIsCompleteAndASecondOneRepeatsNothing)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent -inFrom abc"), 0u);
    const std::wstring install = InstallFolder();
    EXPECT_TRUE(FileExists(install + L"StartUp.exe"));
    const std::wstring group = KnownFolder(CSIDL_PROGRAMS) + L"\\栖杉坊\\绘途\\";
    EXPECT_EQ(ReadShellLink(group + L"绘途.lnk").target, install + L"StartUp.exe");
    EXPECT_EQ(ReadShellLink(group + L"卸载绘途.lnk").target, install + L"client\\3.2.1\\uninstall.exe");
    EXPECT_EQ(ReadShellLink(KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk").target, install + L"StartUp.exe");
    EXPECT_EQ(ReadFileBytes(install + L"client\\3.2.1\\Lib\\InstallRecord.txt"),
              "SetClientInfo libID=PLD-2026-001 version=3.2.1\r\nRecordInstallAct origin=abc\r\n");
    const std::wstring client = KnownFolder(CSIDL_APPDATA) + L"\\Vantor Apps\\Client\\";
    EXPECT_TRUE(FileExists(client + L"start.exe"));
    EXPECT_FALSE(FileExists(install + L"VantorCenter_Client.exe"));
    DWORD installed = 0;
    DWORD size = sizeof(installed);
    EXPECT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", L"Install",
                             RRF_RT_REG_DWORD, nullptr, &installed, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(installed, 1u);

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(::DeleteFileW((std::wstring(temp) + L"~dotnet2.0.exe").c_str()));
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_EQ(ReadFileBytes(client + L"setup-runs.log"), "silent setup\r\n") << "the client's setup ran only once";
    EXPECT_FALSE(FileExists(std::wstring(temp) + L"~dotnet2.0.exe")) << "the redistributable was not needed again";
    EXPECT_FALSE(FileExists(install + L"VantorCenter_Client.exe"));
}

}  // namespace
