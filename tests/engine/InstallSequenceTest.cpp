// Silent installations by setup.exe and by copies of it with a payload of the test's making,
// each test in a fresh prefix.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/Unzipper.h"
#include "tests/wizard/WizardDriver.h"
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
    const std::wstring& exe() const { return m_exe; }

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

// The folders a run leaves when it ends halfway through an upgrade, named as the installer names
// them beside the install folder.
std::wstring StagingFolder()
{
    return KnownFolder(CSIDL_APPDATA) + L"\\Corvane\\Plandrel.new\\";
}

std::wstring SetAsideFolder()
{
    return KnownFolder(CSIDL_APPDATA) + L"\\Corvane\\Plandrel.old\\";
}

// The archive with one byte changed in the data of its last entry, which lies just before the
// central directory: the directory and every header still read, only the unpacking finds it.
std::string WithLastEntryDamaged(std::string archive)
{
    const size_t endRecord = archive.size() - 22;  // no archive comment
    const unsigned char* offset = reinterpret_cast<const unsigned char*>(archive.data() + endRecord + 16);
    const size_t directory = offset[0] | (offset[1] << 8) | (offset[2] << 16) | (static_cast<size_t>(offset[3]) << 24);
    archive[directory - 1000] ^= 0x20;
    return archive;
}

// Bytes that deflate cannot shrink much, so that the last entry's data is long.
std::string Incompressible(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
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

TEST(InstallSequence, OverAnEarlierInstallationOnlyTheNewProductRemains)
{
    PlantEarlierInstallation();
    // Read-only, hidden and system at once: cleared fully, or Windows refuses to delete it.
    ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(),
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_FALSE(FolderExists(InstallFolder() + L"old")) << "files the new archive lacks disappear";
    EXPECT_FALSE(FileExists(InstallFolder() + L"keep.txt")) << "a read-only file goes too";
    EXPECT_NE(ReadFileBytes(InstallFolder() + L"StartUp.exe"), "earlier launcher");
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>()) << "the earlier installation is deleted";
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

TEST(InstallSequence, DamagedEntryAtTheEndOfTheArchiveKeepsTheEarlierInstallation)
{
    PlantEarlierInstallation();
    const std::map<std::wstring, std::string> before = ReadTree(InstallFolder());
    const std::string archive = ZipBuilder()
                                    .File("StartUp.exe", "new launcher")
                                    .File("old/notes.txt", "new notes")
                                    .File("data/last.bin", Incompressible(8192))
                                    .Build();
    const SetupWithProduct setup(WithLastEntryDamaged(archive));
    EXPECT_EQ(setup.RunSilent(), kFailed);
    EXPECT_EQ(ReadTree(InstallFolder()), before);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>()) << "no staging folder stays";
    ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(InstallSequence, PathsTooLongBelowTheInstallFolderAreRefusedBeforeAnythingChanges)
{
    const size_t folderLength = InstallFolder().size();
    // A name that fits an archive but not the profile folder; and a folder of 248 characters
    // below it (one past what Windows creates) holding a file whose path would still fit.
    const std::string longName(220, 'n');
    const std::string deepFolder(248 - folderLength, 'd');
    ASSERT_GT(folderLength + longName.size(), static_cast<size_t>(MAX_PATH - 1));
    for (const std::string& name : {longName, deepFolder + "/a"}) {
        SCOPED_TRACE(name.size());
        PlantEarlierInstallation();
        const std::map<std::wstring, std::string> before = ReadTree(InstallFolder());
        const SetupWithProduct setup(ZipBuilder().File("StartUp.exe", "new launcher").File(name, "deep").Build());
        EXPECT_EQ(setup.RunSilent(), kFailed);
        EXPECT_EQ(ReadTree(InstallFolder()), before);
        EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
        ::SetFileAttributesW((InstallFolder() + L"keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(InstallSequence, RunEndedBetweenTheRenamesGetsTheEarlierInstallationBack)
{
    // The earlier installation set aside, the new product staged, no install folder.
    WriteFileBytes(SetAsideFolder() + L"StartUp.exe", "earlier launcher");
    WriteFileBytes(SetAsideFolder() + L"old\\notes.txt", "earlier notes");
    WriteFileBytes(StagingFolder() + L"StartUp.exe", "new launcher");
    RemoveTree(InstallFolder());
    const std::map<std::wstring, std::string> earlier = ReadTree(SetAsideFolder());

    // Even a run that then fails puts the earlier installation back.
    EXPECT_EQ(RunAndWait(BuildFile(L"variants/without-product/setup.exe"), L"-silent"), kFailed);
    EXPECT_EQ(ReadTree(InstallFolder()), earlier);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());

    // The same state again, and a run that installs.
    WriteFileBytes(StagingFolder() + L"StartUp.exe", "new launcher");
    const std::wstring install = InstallFolder(), setAside = SetAsideFolder();
    ASSERT_TRUE(::MoveFileW(install.substr(0, install.size() - 1).c_str(), setAside.substr(0, setAside.size() - 1).c_str()));
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_EQ(ReadFileBytes(InstallFolder() + L"StartUp.exe"), ReadFileBytes(BuildFile(L"sample/StartUp.exe")));
    EXPECT_FALSE(FolderExists(InstallFolder() + L"old"));
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
}

TEST(InstallSequence, RunEndedWhileDeletingTheEarlierInstallationIsCompleted)
{
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    const std::map<std::wstring, std::string> installed = ReadTree(InstallFolder());
    // What is left of the earlier installation once the new product is in place.
    WriteFileBytes(SetAsideFolder() + L"old\\notes.txt", "earlier notes");
    ::SetFileAttributesW((SetAsideFolder() + L"old\\notes.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(RunAndWait(BuildFile(L"variants/without-product/setup.exe"), L"-silent"), kFailed);
    EXPECT_EQ(ReadTree(InstallFolder()), installed) << "the installed product stays";
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>()) << "the rest of the earlier one goes";
}

TEST(InstallSequence, TwoSilentRunsAtOnceLeaveOneWholeProduct)
{
    // Large enough that the second run starts while the first is unpacking.
    ZipBuilder product;
    std::vector<std::wstring> files;
    product.File("StartUp.exe", "new launcher");
    for (int folder = 0; folder < 30; ++folder) {
        for (int file = 0; file < 60; ++file) {
            const std::string name = "data" + std::to_string(folder) + "/file" + std::to_string(file) + ".txt";
            product.File(name, name + std::string(512, 'x'));
        }
    }
    const SetupWithProduct setup(product.Build());
    const wizard_driver::Process first(setup.exe(), L"-silent");
    ASSERT_TRUE(wizard_driver::WaitFor([] { return FolderExists(StagingFolder()); }, 120000)) << "the first run unpacks";
    const wizard_driver::Process second(setup.exe(), L"-silent");
    DWORD firstStatus = 0xDEADBEEF, secondStatus = 0xDEADBEEF;
    ASSERT_TRUE(first.WaitForExit(300000, firstStatus));
    ASSERT_TRUE(second.WaitForExit(300000, secondStatus));
    // The second waited for the first and installed again.
    EXPECT_EQ(firstStatus, 0u);
    EXPECT_EQ(secondStatus, 0u);
    const std::map<std::wstring, std::string> installed = ReadTree(InstallFolder());
    EXPECT_EQ(installed.size(), 1u + 30 + 30 * 60);
    EXPECT_EQ(installed.count(L"data29\\file59.txt"), 1u);
    EXPECT_EQ(BesideInstallFolder(), std::vector<std::wstring>());
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
    EXPECT_EQ(DotNet20InstallValue(), 1u);

    const std::wstring redistributable = TempPath() + L"~dotnet2.0.exe";
    ASSERT_TRUE(::DeleteFileW(redistributable.c_str()));
    ASSERT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_EQ(ReadFileBytes(client + L"setup-runs.log"), "silent setup\r\n") << "the client's setup ran only once";
    EXPECT_FALSE(FileExists(redistributable)) << "the redistributable was not needed again";
    EXPECT_FALSE(FileExists(install + L"VantorCenter_Client.exe"));
}

}  // namespace
