// setup.exe itself, run silently in a prefix of the test's own.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/Unzipper.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr DWORD kFailed = 0xFFFFFFFF;  // exit status -1

TEST(SilentRun, FreshPrefixExitsZeroAndCreatesTheInstallFolder)
{
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent"), 0u);
    EXPECT_TRUE(FolderExists(InstallFolder()));
}

TEST(SilentRun, OptionCaseAndOrderDoNotMatter)
{
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-SILENT"), 0u);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-inFrom x -silent"), 0u);
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-inFrom -silent"), 0u);
}

// The log's lines, after checking that it is UTF-8 with a byte-order mark.
std::vector<std::wstring> ReadLog(const std::wstring& path)
{
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "a byte-order mark";
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + 3,
                                                          static_cast<int>(bytes.size()) - 3, &text[0], static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// A line of a step without its time, which must be "YYYY-MM-DD hh:mm:ss  ".
std::wstring WithoutTime(const std::wstring& line)
{
    const std::wstring digits = L"0000-00-00 00:00:00  ";
    bool timed = line.size() > digits.size();
    for (size_t i = 0; timed && i < digits.size(); ++i) {
        timed = digits[i] == L'0' ? iswdigit(line[i]) != 0 : line[i] == digits[i];
    }
    EXPECT_TRUE(timed) << Narrow(line);
    return timed ? line.substr(digits.size()) : line;
}

std::wstring FileVersionOf(const std::wstring& exe)
{
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (data.empty() || !::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size)) {
        return L"none";
    }
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

TEST(SilentRunLog, ASuccessfulRunNamesEachStepAndEndsWithExitStatusZero)
{
    TempFolder logs;
    const std::wstring log = logs / L"安装记录.log";
    const std::wstring arguments = L"-silent -log \"" + log + L"\"";
    ASSERT_EQ(RunAndWait(SetupExePath(), arguments), 0u);

    // What the sample product holds.
    Unzipper sample(Narrow(BuildFile(L"sample/product.zip")).c_str());
    unsigned files = 0;
    uint64_t bytes = 0;
    UZ_FileInfo info;
    for (bool more = sample.GotoFirstFile(); more && sample.GetFileInfo(info); more = sample.GotoNextFile()) {
        if (!info.bFolder) ++files, bytes += info.dwUncompressedSize;
    }
    const std::wstring install = InstallFolder();
    const std::wstring group = KnownFolder(CSIDL_PROGRAMS) + L"\\栖杉坊\\绘途\\";

    const std::vector<std::wstring> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], L"绘途 setup.exe " + FileVersionOf(SetupExePath()));
    EXPECT_NE(FileVersionOf(SetupExePath()), L"none");
    EXPECT_EQ(lines[1], L"command line: \"" + SetupExePath() + L"\" " + arguments);
    EXPECT_EQ(lines[2], L"install folder: " + install);
    const std::vector<std::wstring> steps = {
        L"payload INSTALLDATA written out: " + TempPath() + L"~temp.install.data.zip, " +
            std::to_wstring(ReadFileBytes(BuildFile(L"sample/product.zip")).size()) + L" bytes",
        L"archive checked: " + std::to_wstring(sample.GetFileCount()) + L" entries",
        L"unpacked: " + std::to_wstring(files) + L" files, " + std::to_wstring(bytes) + L" bytes",
        L"configuration record: client version 3.2.1",
        L"shortcut: " + group + L"绘途.lnk",
        L"shortcut: " + KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"\\绘途.lnk",
        L"shortcut: " + group + L"卸载绘途.lnk",
        L"recording library: installation reported to " + install + L"client\\3.2.1\\Lib\\Brenvik.dll",
        L"client setup: ran " + install + L"VantorCenter_Client.exe",
        L"payload EXE written out: " + TempPath() + L"~dotnet2.0.exe, " +
            std::to_wstring(ReadFileBytes(BuildFile(L"sample/dotnetfx20_standin.exe")).size()) + L" bytes",
        L".NET Framework 2.0: missing, the redistributable ran: " + TempPath() + L"~dotnet2.0.exe",
        L"exit status 0"};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(WithoutTime(lines[3 + i]), steps[i]) << "line " << 4 + i;
    }

    // A second run makes the log anew; .NET is there by now.
    ASSERT_EQ(RunAndWait(SetupExePath(), arguments), 0u);
    const std::vector<std::wstring> again = ReadLog(log);
    ASSERT_EQ(again.size(), 14u);
    EXPECT_EQ(WithoutTime(again[11]), L"client setup: not run, the client is installed already");
    EXPECT_EQ(WithoutTime(again[12]), L".NET Framework 2.0: installed already");
}

// The archive with one byte of an entry's compressed data changed.
std::string DamageEntry(std::string archive, const std::string& name)
{
    const size_t header = archive.find(name) - 30;  // the local header comes before the directory
    const auto field = [&](size_t offset, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(archive[header + offset + i]);
        return value;
    };
    EXPECT_EQ(archive.compare(header, 4, "PK\x03\x04"), 0);
    const size_t data = header + 30 + field(26, 2) + field(28, 2);
    archive[data + field(18, 4) / 2] ^= 0x5A;
    return archive;
}

// A silent run of a setup.exe carrying archive, which must fail: the log's line before its last,
// which must say exit status -1.
std::wstring FailureLogged(const std::string& archive)
{
    TempFolder folder;
    CopySetupWithResource(folder / L"setup.exe", L"INSTALLDATA", 199, &archive);
    EXPECT_EQ(RunAndWait(folder / L"setup.exe", L"-silent -log " + (folder / L"setup.log")), kFailed);
    const std::vector<std::wstring> lines = ReadLog(folder / L"setup.log");
    if (lines.size() < 3) {
        ADD_FAILURE() << "the log holds " << lines.size() << " lines";
        return std::wstring();
    }
    EXPECT_EQ(WithoutTime(lines.back()), L"exit status -1");
    return WithoutTime(lines[lines.size() - 2]);
}

TEST(SilentRunLog, ADamagedArchiveNamesTheEntryAndEndsWithExitStatusMinusOne)
{
    const std::wstring entry = L"资料\\损坏.txt";
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i * 7919 % 10007) + "\r\n";
    const std::string archive =
        DamageEntry(ZipBuilder().File("StartUp.exe", "launcher").File(Narrow(entry), text).Build(), Narrow(entry));
    // The entry is named where it was to be installed: the staging folder it was being written
    // into is gone when the log is read.
    EXPECT_EQ(FailureLogged(archive), L"FAILED unpacked: stopped at entry " + entry +
                                          L": it is damaged, or it could not be written; path " + InstallFolder() + entry);
}

std::string Gbk(const std::wstring& text)
{
    std::string bytes(text.size() * 2, '\0');
    bytes.resize(static_cast<size_t>(::WideCharToMultiByte(936, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                                                           static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// The check's own reason and the entry's name as it would have been installed, also on a system
// whose ANSI code page is not the archive's (unit.refused_entries_logged_on_cp1252).
TEST(SilentRunLog, RefusedEntriesAreLoggedWithTheChecksReasonAndTheirName)
{
    struct Refused {
        std::vector<std::pair<std::string, EntryHeader>> entries;
        std::wstring reason;
    };
    EntryHeader encrypted;
    encrypted.flags = 0x0001;
    EntryHeader bzip2;
    bzip2.method = 12;
    const Refused cases[] = {
        {{{"StartUp.exe", EntryHeader()}, {Gbk(L"数据\\表格 1.xlsx"), encrypted}}, L"entry refused, it is encrypted: 数据\\表格 1.xlsx"},
        {{{Gbk(L"说明.txt"), bzip2}},
         L"entry refused, compressed by a method this installer does not unpack (only stored and deflated): 说明.txt"},
        {{{"data/Report.txt", EntryHeader()}, {"data/report.txt", EntryHeader()}},
         L"entries refused, they name the same file on Windows (letter case aside): data\\Report.txt and data\\report.txt"},
    };
    for (const Refused& refused : cases) {
        SCOPED_TRACE(Narrow(refused.reason));
        ZipBuilder builder;
        for (const auto& [name, header] : refused.entries) builder.File(name, "content", header);
        EXPECT_EQ(FailureLogged(builder.Build()),
                  L"FAILED archive checked: " + refused.reason + L"; path " + TempPath() + L"~temp.install.data.zip");
        EXPECT_FALSE(FolderExists(InstallFolder() + L"data")) << "nothing is unpacked";
    }
}

TEST(SilentRunLog, ControlCharactersInTheCommandLineDoNotStartALine)
{
    TempFolder logs;
    const std::wstring forged = L"-inFrom \"x\r\n2026-12-10 10:00:00  exit status 0\tend\" ";
    const std::wstring escaped = L"-inFrom \"x\\r\\n2026-12-10 10:00:00  exit status 0\\x09end\" ";
    const std::wstring tail = L"-silent -log \"" + (logs / L"setup.log") + L"\"";
    ASSERT_EQ(RunAndWait(SetupExePath(), forged + tail), 0u);
    const std::vector<std::wstring> lines = ReadLog(logs / L"setup.log");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], L"command line: \"" + SetupExePath() + L"\" " + escaped + tail);
    EXPECT_EQ(lines[2], L"install folder: " + InstallFolder());
}

TEST(SilentRunLog, ALogThatCannotBeCreatedChangesNothing)
{
    EXPECT_EQ(RunAndWait(SetupExePath(), L"-silent -log C:\\no\\such\\folder\\setup.log"), 0u);
    EXPECT_TRUE(FileExists(InstallFolder() + L"StartUp.exe"));
    EXPECT_FALSE(FolderExists(L"C:\\no")) << "the log's folder is not made";
}

}  // namespace
