// Stand-in recording library of the sample product. It appends each call it receives to
// InstallRecord.txt beside itself, one line per call, so that an installation can be checked.
#include <windows.h>

#include <string>

namespace {

HMODULE g_module = nullptr;

void AppendRecord(const std::string& line)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::string file(path, length);
    file = file.substr(0, file.find_last_of('\\') + 1) + "InstallRecord.txt";
    HANDLE handle = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(handle);
}

std::string Text(const char* value)
{
    return value ? std::string(value) : std::string("(null)");
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl SetClientInfo(const char* libId, const char* version)
{
    AppendRecord("SetClientInfo libID=" + Text(libId) + " version=" + Text(version));
}

extern "C" __declspec(dllexport) void __cdecl RecordInstallAct(const char* origin)
{
    AppendRecord("RecordInstallAct origin=" + Text(origin));
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
