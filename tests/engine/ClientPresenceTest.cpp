// The traces of an installed companion client, in the test prefix's real registry and folders.
#include <gtest/gtest.h>

#include "tests/support/InstallerUnderTest.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

class ClientPresence : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Apps");
        RemoveTree(KnownFolder(CSIDL_APPDATA) + L"\\Vantor Apps");
    }

    static void SetUrlProtocol(const std::wstring& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Apps", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
        ::RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }

    static void PlaceStartExe() { WriteFileBytes(KnownFolder(CSIDL_APPDATA) + L"\\Vantor Apps\\Client\\start.exe", "client"); }

    // An existing file whose full path is exactly length characters long.
    static std::wstring FileWithPathLength(const TempFolder& temp, size_t length)
    {
        std::wstring folder = temp.path();
        while (folder.size() + 1 + 100 < length) {
            folder += L"\\" + std::wstring(90, L'd');
            MakeFolders(folder);
        }
        const std::wstring file = folder + L"\\" + std::wstring(length - folder.size() - 1, L'f');
        WriteFileBytes(file, "x");
        return file;
    }

    InstallerUnderTest installer;
};

TEST_F(ClientPresence, NoTraceMeansNotInstalled)
{
    EXPECT_FALSE(installer.IsClientInstalled());
}

TEST_F(ClientPresence, EmptyUrlProtocolIsNoTrace)
{
    SetUrlProtocol(L"");
    EXPECT_FALSE(installer.IsClientInstalled());
    PlaceStartExe();
    EXPECT_TRUE(installer.IsClientInstalled()) << "then only the program file counts";
}

TEST_F(ClientPresence, UrlProtocolMustNameAnExistingFile)
{
    SetUrlProtocol(L"C:\\no\\such\\client.exe");
    EXPECT_FALSE(installer.IsClientInstalled());
    TempFolder temp;
    WriteFileBytes(temp / L"client.exe", "x");
    SetUrlProtocol(temp / L"client.exe");
    EXPECT_TRUE(installer.IsClientInstalled());
}

TEST_F(ClientPresence, ValuesUpTo255UnitsAreRead)
{
    TempFolder temp;
    const std::wstring path = FileWithPathLength(temp, 200);
    ASSERT_TRUE(FileExists(path));
    SetUrlProtocol(path);
    EXPECT_TRUE(installer.IsClientInstalled());

    SetUrlProtocol(path + L"\\" + std::wstring(99, L'x'));  // 300 units: does not fit
    EXPECT_FALSE(installer.IsClientInstalled());
    PlaceStartExe();
    EXPECT_TRUE(installer.IsClientInstalled());
}

TEST_F(ClientPresence, ValueOfAnotherTypeIsNoTrace)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Apps", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD number = 0x00430043;
    ::RegSetValueExW(key, L"URL Protocol", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    const BYTE odd[3] = {'C', 0, ':'};
    ::RegSetValueExW(key, L"Other", 0, REG_BINARY, odd, sizeof(odd));
    ::RegCloseKey(key);
    EXPECT_FALSE(installer.IsClientInstalled());
}

TEST_F(ClientPresence, StartExeAloneIsATrace)
{
    PlaceStartExe();
    EXPECT_TRUE(installer.IsClientInstalled());
}

}  // namespace
