// The judgement of archive entry names: what may be unpacked below a folder.
#include <gtest/gtest.h>

#include "archive/EntryName.h"

namespace {

TEST(EntryName, OrdinaryNamesAreSafe)
{
    for (const char* name : {"StartUp.exe", "client\\3.2.1\\Lib\\Brenvik.dll", "client/3.2.1/uninstall.exe", "a\\", ".settings",
                             "name.with.dots", "a..b", "\xCE\xC4\xB5\xB5\\\xCB\xB5\xC3\xF7.txt" /* 文档\说明.txt */}) {
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    }
}

TEST(EntryName, NamesThatLeaveTheFolderAreRefused)
{
    for (const char* name : {"..\\evil.txt", "../evil.txt", "a\\..\\..\\evil.txt", "a/../b", "..", "a\\.. \\b", "a\\...\\b",
                             "C:\\evil.txt", "C:evil.txt", "\\evil.txt", "/evil.txt", "\\\\server\\share\\evil.txt",
                             "\\\\?\\C:\\evil.txt", "\\\\.\\PhysicalDrive0"}) {
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
    }
}

TEST(EntryName, StreamsDevicesAndEmptyNamesAreRefused)
{
    for (const char* name : {"file.txt:stream", "file.txt::$DATA", "CON", "con.txt", "a\\NUL", "aux.dat", "COM1", "lpt9.log", "PRN ",
                             "CONOUT$", "", ".", "./", "\\", "//", "a\\<b>", "a|b", "what?", "star*", "tab\tname"}) {
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
    }
    EXPECT_FALSE(IsSafeEntryName(nullptr));
    EXPECT_TRUE(IsSafeEntryName("COM10")) << "only COM1 to COM9 are devices";
    EXPECT_TRUE(IsSafeEntryName("console.txt"));
}

TEST(EntryName, ADoubleByteCharacterEndingInBackslashIsNoSeparator)
{
    // 0x955C is one character in code page 936 whose second byte is '\'; followed by "..", the
    // file system sees one component, not a parent reference.
    EXPECT_TRUE(IsSafeEntryName("\x95\x5C.."));
}

TEST(EntryName, DecodedNamesAreJudgedAsTheyStand)
{
    EXPECT_TRUE(IsSafeEntryName(std::wstring(L"文档\\😀 ﾃｽﾄ.txt")));
    EXPECT_FALSE(IsSafeEntryName(std::wstring(L"a.txt\0.exe", 9))) << "a zero character hides the rest of a name";
    EXPECT_FALSE(IsSafeEntryName(std::wstring(L"资料库\\..\\..\\evil.txt")));
    EXPECT_FALSE(IsSafeEntryName(std::wstring()));
    // Windows reserves the superscript digits of Latin-1 after COM and LPT like 1 to 9.
    for (const wchar_t* device : {L"COM\u00B9", L"lpt\u00B3.txt", L"a\\Com\u00B2.log", L"LPT\u00B2 "}) {
        EXPECT_FALSE(IsSafeEntryName(std::wstring(device))) << testing::PrintToString(std::wstring(device));
    }
    EXPECT_TRUE(IsSafeEntryName(std::wstring(L"COM\u2074"))) << "no other superscript names a device";
}

}  // namespace
