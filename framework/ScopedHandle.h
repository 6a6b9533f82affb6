// Owners for the kernel, registry, module and COM handles the installer opens. Each owner closes
// its handle when it goes out of scope; copying is deleted so a handle can never be closed twice.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace framework {

// A handle type and how it is released. Invalid() is the value meaning "nothing owned".
template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return m_handle; }
    bool valid() const { return Traits::IsValid(m_handle); }
    explicit operator bool() const { return valid(); }

    // Hands the handle to the caller, who then owns it.
    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid())
    {
        if (valid()) Traits::Close(m_handle);
        m_handle = handle;
    }

    // For APIs that return a handle through an out parameter; releases what was owned first.
    Handle* receive()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

// CreateFile and friends report failure as INVALID_HANDLE_VALUE, others as null: both are "none".
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { ::FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

using KernelHandle = ScopedHandle<KernelHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegKey = ScopedHandle<RegKeyTraits>;
using Module = ScopedHandle<ModuleTraits>;

// A COM interface pointer that is released when it goes out of scope.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return m_ptr; }
    Interface* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    void reset()
    {
        if (m_ptr) m_ptr->Release();
        m_ptr = nullptr;
    }

    // For CoCreateInstance and QueryInterface, which return the pointer through a void**.
    void** receive()
    {
        reset();
        return reinterpret_cast<void**>(&m_ptr);
    }

private:
    Interface* m_ptr = nullptr;
};

// CoInitialize for the lifetime of a scope on the calling thread.
class ComApartment {
public:
    ComApartment() : m_initialized(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComApartment()
    {
        if (m_initialized) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialized;
};

}  // namespace framework
