// Stand-in launcher for the wizard run: notes what it finds as it starts and ends at once. It
// writes launch-seen.txt beside itself with the state of the mutex "OnlyRun": absent, free, held
// by another process, or abandoned by one that ended holding it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* OnlyRunState()
{
    const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"OnlyRun");
    if (!mutex) return "absent";
    const char* state = "held";
    switch (::WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
        state = "free";
        ::ReleaseMutex(mutex);
        break;
    case WAIT_ABANDONED:
        state = "abandoned";
        ::ReleaseMutex(mutex);
        break;
    default:
        break;
    }
    ::CloseHandle(mutex);
    return state;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    char seen[64] = {};
    std::snprintf(seen, sizeof(seen), "OnlyRun %s\r\n", OnlyRunState());

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.find_last_of(L'\\') + 1);
    // Written whole under another name first, so that a reader never sees half of it.
    const std::wstring partial = folder + L"launch-seen.tmp";
    const HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL wrote = ::WriteFile(file, seen, static_cast<DWORD>(std::strlen(seen)), &written, nullptr);
    ::CloseHandle(file);
    if (!wrote) return 2;
    return ::MoveFileExW(partial.c_str(), (folder + L"launch-seen.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
