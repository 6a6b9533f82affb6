// Archives made to hurt: names that try to leave the target folder, names that do not fit,
// truncated and bit-flipped archives. None may crash the reader or write outside the target.
#include <gtest/gtest.h>

#include <map>
#include <string>

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
