// The upgrade's mechanics on real folders of the test's prefix, with the failures Windows shows
// and Wine does not put in through the seams: renames refused while a handle is open below a
// folder, a folder that cannot be listed. Also the run lock and leftovers that cannot be deleted.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>

#include "installer/upgrade/FolderSwap.h"
#include "installer/upgrade/Leftovers.h"
#include "installer/upgrade/RunLock.h"
#include "installer/upgrade/UpgradeFolders.h"
#include "installer/upgrade/UpgradeRecovery.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr RenameRetry kQuickRetry{8, 1};

// An earlier installation and a staged product side by side, as the swap finds them.
struct SideBySide {
    TempFolder temp;
    UpgradeFolders folders{temp / L"Plandrel\\"};
    SideBySide()
    {
        WriteFileBytes(folders.install + L"\\StartUp.exe", "earlier launcher");
        WriteFileBytes(folders.install + L"\\old\\notes.txt", "earlier notes");
        WriteFileBytes(folders.staging + L"\\StartUp.exe", "new launcher");
    }
    std::map<std::wstring, std::string> Earlier() const
    {
        return {{L"StartUp.exe", "earlier launcher"}, {L"old\\", ""}, {L"old\\notes.txt", "earlier notes"}};
    }
    std::map<std::wstring, std::string> New() const { return {{L"StartUp.exe", "new launcher"}}; }
};

// Renames that fail as Windows fails them: a rename from a folder fails with its error the
// given number of times (-1: always), then goes through.
struct InjectedFailure {
    const wchar_t* fromFolder;  // "install", "staging" or "previous"
    DWORD error;
    int times;
};

struct SwapCase {
    const char* name;
    std::vector<InjectedFailure> failures;
    bool swapped;
    // Calls on the way, for a case that makes the folder appear between the renames.
    bool emptyInstallFolderAppears = false;
};

const SwapCase kSwapCases[] = {
    {"a short lock on the install folder clears within the retry", {{L"install", ERROR_SHARING_VIOLATION, 3}}, true},
    {"the install folder stays locked", {{L"install", ERROR_ACCESS_DENIED, -1}}, false},
    {"the staged folder cannot take its place", {{L"staging", ERROR_ACCESS_DENIED, -1}}, false},
    {"the staged folder fails and the undo meets a short lock",
     {{L"staging", ERROR_SHARING_VIOLATION, -1}, {L"previous", ERROR_SHARING_VIOLATION, 4}},
     false},
    {"an error no lock causes is not retried", {{L"staging", ERROR_NOT_SAME_DEVICE, 1}}, false},
    {"an empty install folder appears between the renames", {}, true, true},
};

TEST(FolderSwap, NeverLeavesNoInstallFolderAndKeepsOneWholeInstallation)
{
    for (const SwapCase& swapCase : kSwapCases) {
        SCOPED_TRACE(swapCase.name);
        SideBySide side;
        const UpgradeFolders& folders = side.folders;
        std::map<std::wstring, int> failuresLeft;
        std::map<std::wstring, DWORD> errors;
        const std::map<std::wstring, std::wstring> byName{
            {L"install", folders.install}, {L"staging", folders.staging}, {L"previous", folders.previous}};
        for (const InjectedFailure& failure : swapCase.failures) {
            failuresLeft[byName.at(failure.fromFolder)] = failure.times;
            errors[byName.at(failure.fromFolder)] = failure.error;
        }
        int calls = 0;
        const RenameFolder rename = [&](const std::wstring& from, const std::wstring& to) {
            ++calls;
            int& left = failuresLeft[from];
            if (left != 0) {
                if (left > 0) --left;
                return errors[from];
            }
            const DWORD result = MoveFolder(from, to);
            if (swapCase.emptyInstallFolderAppears && from == folders.install) ::CreateDirectoryW(folders.install.c_str(), nullptr);
            return result;
        };
        const SwapOutcome outcome = SwapInStagedProduct(folders, rename, kQuickRetry);
        EXPECT_EQ(outcome.swapped, swapCase.swapped);
        EXPECT_TRUE(outcome.earlierInPlace);
        ASSERT_TRUE(FolderExists(folders.install)) << "never without an install folder";
        EXPECT_EQ(ReadTree(folders.install), swapCase.swapped ? side.New() : side.Earlier());
        if (!swapCase.swapped) {
            EXPECT_NE(std::wstring(outcome.failedRename), L"");
            EXPECT_NE(outcome.error, static_cast<DWORD>(ERROR_SUCCESS));
            EXPECT_EQ(ReadTree(folders.staging), side.New()) << "the staged product is left to the caller";
        }
        if (swapCase.failures.size() == 1 && swapCase.failures[0].error == ERROR_NOT_SAME_DEVICE) {
            EXPECT_EQ(calls, 3) << "set aside, one try to put in place, the undo";
        }
    }
}

TEST(UpgradeRecovery, DecidesNothingWhenTheInstallFolderCannotBeListed)
{
    for (const bool listable : {false, true}) {
        SCOPED_TRACE(listable ? "listed" : "not listable");
        TempFolder temp;
        const UpgradeFolders folders(temp / L"Plandrel\\");
        WriteFileBytes(folders.previous + L"\\StartUp.exe", "earlier launcher");
        WriteFileBytes(folders.install + L"\\StartUp.exe", "new launcher");
        const std::map<std::wstring, std::string> before = ReadTree(temp.path());
        const FolderInspection inspect = [&](const std::wstring& folder) {
            return listable ? InspectFolder(folder) : FolderContent::Unknown;
        };
        EXPECT_EQ(RecoverInterruptedUpgrade(folders, inspect), listable);
        if (listable) {
            EXPECT_FALSE(FolderExists(folders.previous)) << "beside a filled install folder the rest goes";
        } else {
            EXPECT_EQ(ReadTree(temp.path()), before) << "both copies stay as they were";
        }
    }
}

TEST(Leftovers, WhatCannotBeDeletedNowIsMovedAsideAndDeletedByALaterRun)
{
    TempFolder temp;
    const UpgradeFolders folders(temp / L"Plandrel\\");
    // Beyond MAX_PATH below the set-aside folder, and a file held open as a scanner holds it.
    std::wstring deep = folders.previous;
    while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + folders.previous).c_str(), nullptr));
    for (size_t end = deep.find(L'\\', folders.previous.size() + 1); ; end = deep.find(L'\\', end + 1)) {
        ::CreateDirectoryW((L"\\\\?\\" + deep.substr(0, end)).c_str(), nullptr);
        if (end == std::wstring::npos) break;
    }
    ASSERT_TRUE(FolderExists(L"\\\\?\\" + deep));
    const std::wstring held = folders.previous + L"\\held.dll";
    WriteFileBytes(held, "library");
    HANDLE handle = ::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    EXPECT_TRUE(DeleteOrMoveAside(folders.previous, folders)) << "the name is free for the next swap";
    EXPECT_FALSE(FolderExists(folders.previous));
    const std::vector<std::wstring> aside = ListTree(temp.path());
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(aside.front().rfind(L"Plandrel.del-", 0), 0u) << Narrow(aside.front());

    DeleteMovedAsideFolders(folders);
    EXPECT_FALSE(ListTree(temp.path()).empty()) << "still in use: it stays for a later run";
    ::CloseHandle(handle);
    DeleteMovedAsideFolders(folders);
    EXPECT_EQ(ListTree(temp.path()), std::vector<std::wstring>());
}

TEST(RunLock, ASecondRunOnTheSameFolderWaitsWhateverTheCase)
{
    TempFolder temp;
    const std::wstring folder = temp / L"Corvane\\Plandrel";
    std::wstring otherCase = folder;
    ::CharUpperBuffW(&otherCase[0], static_cast<DWORD>(otherCase.size()));
    ASSERT_NE(otherCase, folder);
    EXPECT_EQ(RunLock::MutexName(folder), RunLock::MutexName(otherCase + L"\\"));
    EXPECT_NE(RunLock::MutexName(folder), RunLock::MutexName(folder + L".new"));
    EXPECT_EQ(RunLock::MutexName(folder).rfind(L"Global\\", 0), 0u);

    // A mutex belongs to a thread: each run is a thread of its own here.
    HANDLE firstHolds = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE firstMayEnd = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread first([&] {
        const RunLock lock(folder, 0);
        EXPECT_TRUE(lock.Held());
        ::SetEvent(firstHolds);
        ::WaitForSingleObject(firstMayEnd, 30000);
    });
    ASSERT_EQ(::WaitForSingleObject(firstHolds, 30000), WAIT_OBJECT_0);
    std::thread([&] {
        const RunLock lock(otherCase, 200);
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(lock.Error(), static_cast<DWORD>(WAIT_TIMEOUT));
    }).join();
    std::thread second([&] {
        const RunLock lock(otherCase, 30000);
        EXPECT_TRUE(lock.Held()) << "once the first run ends, the second goes on";
    });
    ::SetEvent(firstMayEnd);
    first.join();
    second.join();
    ::CloseHandle(firstHolds);
    ::CloseHandle(firstMayEnd);
}

}  // namespace
