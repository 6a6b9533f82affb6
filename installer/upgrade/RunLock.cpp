#include "installer/upgrade/RunLock.h"

#include <sddl.h>

#include "framework/Text.h"

namespace {

// Everyone may wait on and release the mutex (SYNCHRONIZE | MUTEX_MODIFY_STATE), so that a run
// under another account is held up by it rather than refused. That is all any run needs; the
// maker's own handle keeps the access it was created with.
constexpr wchar_t kEveryoneMaySynchronize[] = L"D:(A;;0x100001;;;WD)";

constexpr DWORD kPollMs = 250;

std::wstring UpperCase(const std::wstring& text)
{
    std::wstring upper = text;
    if (!upper.empty()) {
        ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()), &upper[0],
                       static_cast<int>(upper.size()));
    }
    return upper;
}

// FNV-1a over the UTF-16 code units: a mutex name holds no backslash and is limited in length.
unsigned long long Fingerprint(const std::wstring& text)
{
    unsigned long long hash = 14695981039346656037ull;
    for (const wchar_t c : text) {
        hash = (hash ^ static_cast<unsigned>(c)) * 1099511628211ull;
    }
    return hash;
}

framework::KernelHandle CreateSharedMutex(const std::wstring& name)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kEveryoneMaySynchronize, SDDL_REVISION_1, &descriptor, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    framework::KernelHandle mutex(::CreateMutexW(descriptor ? &attributes : nullptr, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();
    if (descriptor) ::LocalFree(descriptor);
    if (!mutex && error == ERROR_ACCESS_DENIED) {
        // Another account's run made it: CreateMutex asks for full access, which only its
        // maker has; waiting and releasing is what everyone was given.
        mutex.reset(::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
    }
    if (!mutex) ::SetLastError(error);
    return mutex;
}

}  // namespace

std::wstring RunLock::MutexName(const std::wstring& installFolder)
{
    std::wstring folder = installFolder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return framework::Format(L"Global\\Corvane.Plandrel.Setup.%016llX", Fingerprint(UpperCase(folder)));
}

RunLock::RunLock(const std::wstring& installFolder, DWORD waitMs)
{
    const std::wstring name = MutexName(installFolder);
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    // A mutex that cannot be opened at all (another account's, without shared access) is
    // polled for until it is gone or the wait is over.
    while (!(m_mutex = CreateSharedMutex(name))) {
        m_error = ::GetLastError();
        if (::GetTickCount64() >= deadline) return;
        ::Sleep(kPollMs);
    }
    const ULONGLONG now = ::GetTickCount64();
    const DWORD wait = ::WaitForSingleObject(m_mutex.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    m_held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    m_error = m_held ? ERROR_SUCCESS : wait == WAIT_TIMEOUT ? WAIT_TIMEOUT : ::GetLastError();
}

RunLock::~RunLock()
{
    if (m_held) ::ReleaseMutex(m_mutex.get());
}
