// Unpacking archives built by the tests: folder structure, times, attributes, filters, and
// archives that must be refused.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "archive/Unzipper.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr WORD kDosDate = (46 << 9) | (3 << 5) | 14;  // 2026-03-14
constexpr WORD kDosTime = (9 << 11) | (26 << 5) | (53 / 2);  // 09:26:52

// An archive written to a scratch folder.
struct ArchiveOnDisk {
    TempFolder folder;
    std::wstring path;
    explicit ArchiveOnDisk(const std::string& bytes) : path(folder / L"archive.zip") { WriteFileBytes(path, bytes); }
    std::string narrow() const { return Narrow(path); }
};

FILETIME LastWrite(const std::wstring& path, FILETIME* created = nullptr)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    if (created) *created = data.ftCreationTime;
    return data.ftLastWriteTime;
}

FILETIME DosToUtc(WORD date, WORD time)
{
    FILETIME local{}, utc{};
    ::DosDateTimeToFileTime(date, time, &local);
    ::LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

TEST(Unzipper, KeepsFoldersTimesAndAttributes)
{
    const ArchiveOnDisk archive(ZipBuilder()
                                    .Folder("a/")
                                    .File("a/b/c.txt", "deep", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime)
                                    .File("top.txt", "top", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, kDosDate, kDosTime)
                                    .Build());
    TempFolder target;
    Unzipper unzipper;
    ASSERT_TRUE(unzipper.OpenZip(archive.narrow().c_str()));
    EXPECT_EQ(unzipper.GetFileCount(), 3u);
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\x\\").c_str()));

    EXPECT_EQ(ReadFileBytes(target / L"x\\a\\b\\c.txt"), "deep");
    EXPECT_EQ(ReadFileBytes(target / L"x\\top.txt"), "top");
    FILETIME created{};
    const FILETIME written = LastWrite(target / L"x\\a\\b\\c.txt", &created);
    EXPECT_TRUE(SameTime(written, DosToUtc(kDosDate, kDosTime)));
    EXPECT_TRUE(SameTime(created, written)) << "creation time is the entry's time too";
    EXPECT_EQ(::GetFileAttributesW((target / L"x\\top.txt").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ::SetFileAttributesW((target / L"x\\top.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Unzipper, TrailingBackslashOfTheTargetMakesNoDifference)
{
    const ArchiveOnDisk archive(ZipBuilder().File("a/b/c.txt", "c").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\with\\").c_str()));
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\without").c_str()));
    EXPECT_EQ(ListTree(target / L"with"), ListTree(target / L"without"));
}

TEST(Unzipper, IgnorePathsDropsTheFolders)
{
    const ArchiveOnDisk archive(ZipBuilder().File("a/b/c.txt", "c").File("d.txt", "d").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str(), true));
    EXPECT_EQ(ListTree(target.path()), (std::vector<std::wstring>{L"c.txt", L"d.txt"}));
}

TEST(Unzipper, DefaultTargetIsTheArchivePathWithoutExtension)
{
    const ArchiveOnDisk archive(ZipBuilder().File("inside.txt", "i").Build());
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll());
    EXPECT_EQ(ReadFileBytes(archive.folder / L"archive\\inside.txt"), "i");
}

TEST(Unzipper, ReplacesExistingFilesReadOnlyHiddenAndSystemOnesToo)
{
    const ArchiveOnDisk archive(ZipBuilder().File("same.txt", "new", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime).Build());
    TempFolder target;
    const DWORD stubborn = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WriteFileBytes(target / L"same.txt", "an older and much longer content");
    ::SetFileAttributesW((target / L"same.txt").c_str(), stubborn);
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str()));
    EXPECT_EQ(ReadFileBytes(target / L"same.txt"), "new");
    EXPECT_TRUE(SameTime(LastWrite(target / L"same.txt"), DosToUtc(kDosDate, kDosTime)));
    EXPECT_EQ(::GetFileAttributesW((target / L"same.txt").c_str()) & stubborn, 0u) << "the entry's attributes, not the old ones";
}

// The archive is read through a small window of its bytes: entries and directory records that
// straddle its edges, stored and deflated data of every size around it, and a directory many
// windows long must come out byte for byte.
TEST(Unzipper, EntriesOnEitherSideOfTheReadWindowsEdgesUnpackByteForByte)
{
    const size_t sizes[] = {0, 1, 4095, 4096, 4097, 8191, 16383, 16384, 16385, 70001};
    ZipBuilder builder;
    std::vector<std::pair<std::wstring, std::string>> expected;
    unsigned seed = 7;
    for (int i = 0; i < 120; ++i) {
        std::string content(sizes[i % 10], '\0');
        for (char& c : content) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
        const std::string name = "folder" + std::to_string(i % 7) + "/" + std::string(40 + i % 50, 'n') + std::to_string(i) + ".bin";
        EntryHeader header;
        header.method = i % 3 == 0 ? 0 : Z_DEFLATED;
        builder.File(name, content, header);
        std::wstring path = Widen(name);
        for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
        expected.emplace_back(path, content);
    }
    const ArchiveOnDisk archive(builder.Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.CheckAllEntries(target.path().c_str()));
    ASSERT_TRUE(unzipper.ExtractAll(target.path().c_str()));
    for (const auto& [path, content] : expected) EXPECT_EQ(ReadFileBytes(target / path), content) << Narrow(path);
}

TEST(Unzipper, EmptyArchiveIsRefusedAndWritesNothing)
{
    const ArchiveOnDisk archive(ZipBuilder().Build());
    TempFolder target;
    Unzipper unzipper;
    unzipper.OpenZip(archive.narrow().c_str());
    EXPECT_EQ(unzipper.GetFileCount(), 0u);
    EXPECT_FALSE(unzipper.CheckAllEntries());
    EXPECT_FALSE(unzipper.ExtractAll((target.narrow() + "\\x").c_str()));
    EXPECT_FALSE(FolderExists(target / L"x"));
}

TEST(Unzipper, ExtensionFilterIgnoresCaseAndTheDot)
{
    const ArchiveOnDisk archive(ZipBuilder().File("c.text", "").File("a.txt", "").File("b.Txt", "").File("d.doc", "").Build());
    Unzipper unzipper(archive.narrow().c_str());
    UZ_FileInfo info;
    ASSERT_TRUE(unzipper.GotoFirstFile("TXT"));
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "a.txt");
    ASSERT_TRUE(unzipper.GotoNextFile(".txt"));
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "b.Txt");
    EXPECT_FALSE(unzipper.GotoNextFile("txt"));
}

TEST(Unzipper, ReportsEntryInformationWithBackslashes)
{
    const ArchiveOnDisk archive(ZipBuilder().Folder("dir/").File("dir/f.bin", "12345", FILE_ATTRIBUTE_ARCHIVE, kDosDate, kDosTime).Build());
    Unzipper unzipper(archive.narrow().c_str());
    UZ_FileInfo info;
    ASSERT_TRUE(unzipper.GotoFirstFile());
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "dir\\");
    EXPECT_TRUE(info.bFolder);
    ASSERT_TRUE(unzipper.GotoNextFile());
    ASSERT_TRUE(unzipper.GetFileInfo(info));
    EXPECT_STREQ(info.szFileName, "dir\\f.bin");
    EXPECT_FALSE(info.bFolder);
    EXPECT_EQ(info.dwUncompressedSize, 5u);
    EXPECT_EQ(info.dwDosDate, (static_cast<DWORD>(kDosDate) << 16) | kDosTime);
}

TEST(Unzipper, NothingOpenMeansEveryOperationFails)
{
    Unzipper unzipper;
    UZ_FileInfo info;
    EXPECT_FALSE(unzipper.OpenZip(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(unzipper.OpenZip(""));
    EXPECT_FALSE(unzipper.CloseZip());
    EXPECT_FALSE(unzipper.GotoFirstFile());
    EXPECT_FALSE(unzipper.GetFileInfo(info));
    EXPECT_FALSE(unzipper.ExtractAll("C:\\x"));
    EXPECT_EQ(unzipper.GetFileCount(), 0u);
}

TEST(Unzipper, ChineseNamesInTheAnsiCodePage)
{
    // 说明.txt in code page 936, as archives made on Chinese Windows store it.
    const ArchiveOnDisk archive(ZipBuilder().File("\xCB\xB5\xC3\xF7.txt", "gbk").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll(target.narrow().c_str()));
    EXPECT_EQ(ReadFileBytes(target / L"说明.txt"), "gbk");
}

TEST(Unzipper, DoubleByteCharactersWhoseSecondByteIsABackslash)
{
    // 淺 and 禱 in code page 936 end in the byte 0x5C; they are characters, not separators.
    const std::string folder = "\x9C\x5C";   // 淺
    const std::string file = "\xB6\x5C.txt"; // 禱.txt
    const ArchiveOnDisk archive(ZipBuilder().File(folder + "/" + file, "dbcs").Build());
    TempFolder target;
    Unzipper unzipper(archive.narrow().c_str());
    ASSERT_TRUE(unzipper.ExtractAll((target.narrow() + "\\" + folder).c_str()));
    EXPECT_EQ(ReadFileBytes(target / (Widen(folder) + L"\\" + Widen(folder) + L"\\" + Widen(file))), "dbcs");
}

constexpr WORD kUtf8Flag = 0x0800;
constexpr WORD kMadeOnUnix = 0x031E;
constexpr WORD kMadeOnWindows = 0x0014;

std::string Encode(UINT codePage, const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}
std::string Utf8(const std::wstring& text) { return Encode(CP_UTF8, text); }
std::string Gbk(const std::wstring& text) { return Encode(936, text); }

// Info-ZIP's Unicode Path extra field, written for the stored name crcName.
std::string UnicodePathField(const std::string& crcName, const std::wstring& name)
{
    const std::string utf8 = Utf8(name);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(crcName.data()), static_cast<uInt>(crcName.size()));
    const size_t size = 5 + utf8.size();
    std::string field = {'\x75', '\x70', static_cast<char>(size & 0xFF), static_cast<char>(size >> 8), '\x01'};
    for (int shift = 0; shift < 32; shift += 8) field += static_cast<char>((crc >> shift) & 0xFF);
    return field + utf8;
}

EntryHeader Header(WORD versionMadeBy, WORD flags = 0, std::string extraField = std::string(),
                   DWORD attributes = FILE_ATTRIBUTE_ARCHIVE)
{
    EntryHeader header;
    header.versionMadeBy = versionMadeBy;
    header.flags = flags;
    header.extraField = std::move(extraField);
    header.attributes = attributes;
    return header;
}

struct NamingCase {
    const char* madeBy;
    std::vector<std::pair<std::string, EntryHeader>> entries;  // stored name and header; files hold "x"
    std::vector<std::wstring> unpacked;                        // ListTree of the target afterwards
};

TEST(Unzipper, NamesAreDecodedAsTheToolThatMadeTheArchiveStoredThem)
{
    const NamingCase cases[] = {
        {"UTF-8 flagged with bit 11 (Python, 7-Zip)",
         {{Utf8(L"文档/说明.txt"), Header(kMadeOnUnix, kUtf8Flag)}, {Utf8(L"😀.txt"), Header(kMadeOnWindows, kUtf8Flag)}},
         {L"文档\\", L"文档\\说明.txt", L"😀.txt"}},
        {"Unicode Path field (Info-ZIP on Windows)",
         {{"__.txt", Header(kMadeOnWindows, 0, UnicodePathField("__.txt", L"ﾃｽﾄ.txt"))},
          {"old.txt", Header(kMadeOnWindows, 0, UnicodePathField("renamed.txt", L"stale.txt"))}},
         {L"old.txt", L"ﾃｽﾄ.txt"}},
        {"unflagged UTF-8 made on Unix (Info-ZIP on Linux)",
         {{Utf8(L"资料库/淺色.txt"), Header(kMadeOnUnix)}, {Utf8(L"ﾃｽﾄ.txt"), Header(kMadeOnUnix)}},
         {L"资料库\\", L"资料库\\淺色.txt", L"ﾃｽﾄ.txt"}},
        {"code page 936 made on Unix, not valid UTF-8",
         {{Gbk(L"文档/说明.txt"), Header(kMadeOnUnix)}},
         {L"文档\\", L"文档\\说明.txt"}},
        // 图 in code page 936 (CD BC) is valid UTF-8 too (U+037C), 说明 is not: the archive's names
        // are all GBK, or 图 would become a second folder ͼ.
        {"code page 936 re-packed by Info-ZIP on Linux, one name valid UTF-8 by chance",
         {{Gbk(L"图/"), Header(kMadeOnUnix, 0, std::string(), 0x41ED0010)},
          {Gbk(L"图/a.txt"), Header(kMadeOnUnix)},
          {Gbk(L"图/说明.txt"), Header(kMadeOnUnix)}},
         {L"图\\", L"图\\a.txt", L"图\\说明.txt"}},
        {"code page 936 made on Windows, trail bytes 0x5C",
         {{Gbk(L"淺/禱.txt"), Header(kMadeOnWindows)}},
         {L"淺\\", L"淺\\禱.txt"}},
        {"folders marked only by their trailing '/' (.NET, Java)",
         {{"data/", Header(kMadeOnWindows, 0, std::string(), 0)}, {"data/a.txt", Header(kMadeOnWindows, 0, std::string(), 0)},
          {"empty/", Header(kMadeOnUnix, 0, std::string(), 0x41ED0000)}},
         {L"data\\", L"data\\a.txt", L"empty\\"}},
    };
    for (const NamingCase& naming : cases) {
        SCOPED_TRACE(naming.madeBy);
        ZipBuilder builder;
        for (const auto& [name, header] : naming.entries) builder.File(name, name.back() == '/' ? "" : "x", header);
        const ArchiveOnDisk archive(builder.Build());
        TempFolder target;
        Unzipper unzipper(archive.narrow().c_str());
        EXPECT_TRUE(unzipper.CheckAllEntries(target.path().c_str()));
        ASSERT_TRUE(unzipper.ExtractAll(target.path().c_str()));
        EXPECT_EQ(ListTree(target.path()), naming.unpacked);
    }
}

}  // namespace
