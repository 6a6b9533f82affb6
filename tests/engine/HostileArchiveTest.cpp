// Archives made to hurt: names that try to leave the target folder, names that do not fit,
// truncated and bit-flipped archives. None may crash the reader or write outside the target.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "archive/Unzipper.h"
#include "tests/support/ArchiveMutation.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// A sandbox folder holding the target folder and a sentinel file; everything written outside
// target shows up as a change of the sandbox's listing or as a file at the drive's root.
class Sandbox {
public:
    Sandbox()
    {
        MakeFolders(m_root / L"target");
        WriteFileBytes(m_root / L"sentinel.txt", "untouched");
        m_before = Outside();
    }
    std::string target() const { return Narrow(m_root / L"target"); }
    std::wstring targetWide() const { return m_root / L"target"; }
    bool NothingOutside() const
    {
        return Outside() == m_before && ReadFileBytes(m_root / L"sentinel.txt") == "untouched" && !FileExists(L"C:\\evil.txt") &&
               !FileExists(m_root / L"evil.txt");
    }
    void ClearTarget() const
    {
        RemoveTree(m_root / L"target");
        MakeFolders(m_root / L"target");
    }

private:
    std::vector<std::wstring> Outside() const
    {
        std::vector<std::wstring> outside;
        for (const std::wstring& entry : ListTree(m_root.path())) {
            if (entry.compare(0, 7, L"target\\") != 0) outside.push_back(entry);
        }
        return outside;
    }

    TempFolder m_root;
    std::vector<std::wstring> m_before;
};

bool Extract(const std::string& archiveBytes, const Sandbox& sandbox, bool& checked)
{
    TempFolder holder;
    WriteFileBytes(holder / L"a.zip", archiveBytes);
    Unzipper unzipper;
    checked = false;
    if (!unzipper.OpenZip(Narrow(holder / L"a.zip").c_str())) return false;
    checked = unzipper.CheckAllEntries();
    return unzipper.ExtractAll(sandbox.target().c_str());
}

TEST(HostileArchive, EveryNameThatLeavesTheTargetIsRefused)
{
    const char* const hostile[] = {"..\\evil.txt", "../evil.txt", "sub/../../evil.txt", "C:\\evil.txt", "C:evil.txt", "\\evil.txt",
                                   "/evil.txt", "\\\\?\\C:\\evil.txt", "\\\\localhost\\C$\\evil.txt", "ok.txt:evil", "CON",
                                   "sub\\NUL.txt", "sub\\.. \\..\\evil.txt", "", "./", "..."};
    Sandbox sandbox;
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        const std::string archive = ZipBuilder().File("good.txt", "good").File(name, "evil").Build();
        bool checked = true;
        EXPECT_FALSE(Extract(archive, sandbox, checked));
        EXPECT_FALSE(checked);
        EXPECT_TRUE(sandbox.NothingOutside());
        sandbox.ClearTarget();
    }
}

TEST(HostileArchive, NamesLongerThanAPathAreRefusedNotCut)
{
    Sandbox sandbox;
    const std::string longName = std::string(250, 'd') + "\\" + std::string(40, 'f') + ".txt";
    bool checked = true;
    EXPECT_FALSE(Extract(ZipBuilder().File(longName, "x").Build(), sandbox, checked));
    EXPECT_FALSE(checked);
    EXPECT_TRUE(ListTree(sandbox.targetWide()).empty());

    // A name that fits on its own but not below the target folder.
    const std::string nearlyLong = std::string(240, 'n') + ".txt";
    EXPECT_FALSE(Extract(ZipBuilder().File(nearlyLong, "x").Build(), sandbox, checked));
    EXPECT_TRUE(sandbox.NothingOutside());
}

TEST(HostileArchive, EntriesTheReaderCannotUnpackAreRefusedBeforeAnythingIsWritten)
{
    struct Unreadable {
        const char* what;
        WORD method;
        WORD flags;
    };
    const Unreadable cases[] = {{"bzip2", 12, 0},
                                {"LZMA", 14, 0},
                                {"an unknown method", 0x4D4D, 0},
                                {"encrypted", 8, 0x0001},
                                {"strong encryption", 8, 0x0041},
                                {"patch data", 8, 0x0020},
                                {"encrypted directory", 0, 0x2000}};
    Sandbox sandbox;
    const std::wstring earlier = sandbox.targetWide() + L"\\earlier.txt";
    for (const Unreadable& unreadable : cases) {
        SCOPED_TRACE(unreadable.what);
        WriteFileBytes(earlier, "earlier");
        EntryHeader header;
        header.method = unreadable.method;
        header.flags = unreadable.flags;
        TempFolder holder;
        WriteFileBytes(holder / L"a.zip", ZipBuilder().File("good.txt", "good").File("bad.bin", "not plain data", header).Build());
        Unzipper unzipper;
        ASSERT_TRUE(unzipper.OpenZip(Narrow(holder / L"a.zip").c_str()));
        EXPECT_FALSE(unzipper.CheckAllEntries());
        EXPECT_FALSE(unzipper.CheckAllEntries(sandbox.targetWide().c_str()));
        EXPECT_EQ(ListTree(sandbox.targetWide()), std::vector<std::wstring>{L"earlier.txt"}) << "the check writes nothing";
        // Unpacked without the check, the entry is still refused rather than written as it stands.
        EXPECT_FALSE(unzipper.ExtractAll(sandbox.targetWide().c_str()));
        EXPECT_FALSE(FileExists(sandbox.targetWide() + L"\\bad.bin"));
        EXPECT_TRUE(sandbox.NothingOutside());
        sandbox.ClearTarget();
    }
}

TEST(HostileArchive, BelowAFolderTheJoinedPathMustFitAsWindowsCountsIt)
{
    Sandbox sandbox;
    const std::wstring folder = sandbox.targetWide();
    const size_t room = folder.size() + 1;  // the folder and its separator
    auto checks = [&](const std::string& name) {
        TempFolder holder;
        WriteFileBytes(holder / L"a.zip", ZipBuilder().File("top.txt", "t").File(name, name.back() == '/' ? "" : "x").Build());
        Unzipper unzipper(Narrow(holder / L"a.zip").c_str());
        return unzipper.CheckAllEntries(folder.c_str());
    };
    // A file's path below MAX_PATH.
    EXPECT_TRUE(checks(std::string(MAX_PATH - 1 - room, 'f')));
    EXPECT_FALSE(checks(std::string(MAX_PATH - room, 'f')));
    // A folder's path, a file's own folder's too, below 248 characters.
    EXPECT_TRUE(checks(std::string(247 - room, 'd') + "/"));
    EXPECT_FALSE(checks(std::string(248 - room, 'd') + "/"));
    EXPECT_TRUE(checks(std::string(247 - room, 'd') + "/f"));
    EXPECT_FALSE(checks(std::string(248 - room, 'd') + "/f"));
    // Without a folder only the name itself is measured, as before.
    TempFolder holder;
    WriteFileBytes(holder / L"a.zip", ZipBuilder().File(std::string(248 - room, 'd') + "/f", "x").Build());
    EXPECT_TRUE(Unzipper(Narrow(holder / L"a.zip").c_str()).CheckAllEntries());
}

// Entries that Windows would unpack to one path: the second would silently replace the first.
TEST(HostileArchive, EntriesNamingOnePathOnWindowsAreRefusedByTheCheck)
{
    struct Naming {
        std::vector<std::string> names;  // a trailing '/' makes a folder entry
        bool collide;
    };
    const Naming cases[] = {
        {{"data/Report.txt", "data/report.txt"}, true},
        {{"a.txt", "A.TXT. "}, true},                               // Windows drops the trailing dot and blank
        {{"Data/x.txt", "other.txt", "DATA"}, true},                // a file where a folder must be
        {{"\xC3\x84rger.txt", "\xC3\xA4RGER.txt"}, true},        // Ärger, äRGER: case beyond ASCII too
        {{"data/", "DATA/a.txt", "Data/b.txt"}, false},             // one folder, named three ways
        {{"data/a.txt", "data/a.txt.bak", "data-a.txt"}, false},
    };
    Sandbox sandbox;
    for (const Naming& naming : cases) {
        SCOPED_TRACE(naming.names.back());
        ZipBuilder builder;
        EntryHeader header;
        header.flags = 0x0800;
        for (const std::string& name : naming.names) builder.File(name, name.back() == '/' ? "" : name, header);
        TempFolder holder;
        WriteFileBytes(holder / L"a.zip", builder.Build());
        Unzipper unzipper;
        ASSERT_TRUE(unzipper.OpenZip((holder / L"a.zip").c_str()));
        EXPECT_EQ(unzipper.CheckAllEntries(sandbox.targetWide().c_str()), !naming.collide);
        EXPECT_EQ(unzipper.Refusal(), naming.collide ? EntryRefusal::Collision : EntryRefusal::None);
        EXPECT_TRUE(ListTree(sandbox.targetWide()).empty()) << "the check writes nothing";
    }
}

// A local header that says another method or other sizes than the directory: what would be
// unpacked is not what the check judged.
TEST(HostileArchive, ALocalHeaderThatContradictsTheDirectoryIsRefusedByTheCheck)
{
    struct Contradiction {
        const char* what;
        size_t field;  // offset in the local header
        WORD value;
    };
    const Contradiction cases[] = {{"method", 8, 8}, {"compressed size", 18, 0x7FFF}, {"size", 22, 0x7FFF}};
    Sandbox sandbox;
    for (const Contradiction& contradiction : cases) {
        SCOPED_TRACE(contradiction.what);
        EntryHeader stored;
        stored.method = 0;
        std::string archive = ZipBuilder().File("good.txt", "good", stored).File("bad.txt", "contradicted", stored).Build();
        const size_t at = LocalHeaderOffset(archive, 1) + contradiction.field;
        archive[at] = static_cast<char>(contradiction.value & 0xFF);
        archive[at + 1] = static_cast<char>(contradiction.value >> 8);
        TempFolder holder;
        WriteFileBytes(holder / L"a.zip", archive);
        Unzipper unzipper;
        ASSERT_TRUE(unzipper.OpenZip((holder / L"a.zip").c_str()));
        EXPECT_FALSE(unzipper.CheckAllEntries(sandbox.targetWide().c_str()));
        EXPECT_EQ(unzipper.Refusal(), EntryRefusal::LocalHeader);
        EXPECT_EQ(unzipper.RefusedEntry(), L"bad.txt");
        EXPECT_TRUE(ListTree(sandbox.targetWide()).empty());
    }
}

// Whatever was written under a name of the archive holds exactly that file's bytes. (Names
// carry no checksum, so damage to one may rename a file.)
void ExpectOnlyIntactFiles(const Sandbox& sandbox, const std::map<std::wstring, std::string>& contents)
{
    for (const std::wstring& entry : ListTree(sandbox.targetWide())) {
        const auto file = contents.find(entry);
        if (file != contents.end()) {
            ASSERT_EQ(ReadFileBytes(sandbox.targetWide() + L"\\" + entry), file->second);
        }
    }
}

TEST(HostileArchive, TruncatedArchivesFailCleanly)
{
    const std::string original = SampleArchive();
    Sandbox sandbox;
    for (size_t cut : {size_t{0}, size_t{10}, size_t{100}, original.size() / 3, original.size() / 2, original.size() - 30}) {
        SCOPED_TRACE(cut);
        bool checked = true;
        EXPECT_FALSE(Extract(original.substr(0, cut), sandbox, checked));
        EXPECT_FALSE(checked);
        EXPECT_TRUE(sandbox.NothingOutside());
        sandbox.ClearTarget();
    }
    // Cut inside the end record's comment length: everything is still there to be read.
    bool checked = false;
    if (Extract(original.substr(0, original.size() - 1), sandbox, checked)) {
        EXPECT_EQ(ListTree(sandbox.targetWide()).size(), 9u);
        ExpectOnlyIntactFiles(sandbox, SampleArchiveContents());
    }
    EXPECT_TRUE(sandbox.NothingOutside());
}

TEST(HostileArchive, BitFlippedArchivesNeverYieldWrongFiles)
{
    const std::string original = SampleArchive();
    const std::map<std::wstring, std::string> contents = SampleArchiveContents();
    Sandbox sandbox;
    MutationSource mutations(original, 20261209);
    for (int i = 0; i < 200; ++i) {
        const std::string mutated = mutations.Next();
        bool checked = false;
        const bool extracted = Extract(mutated, sandbox, checked);
        ASSERT_TRUE(sandbox.NothingOutside()) << "mutation " << i;
        if (extracted) {
            SCOPED_TRACE(i);
            ExpectOnlyIntactFiles(sandbox, contents);
        }
        sandbox.ClearTarget();
    }
}

}  // namespace
