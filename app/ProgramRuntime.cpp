// How setup.exe meets the C++ runtime's failure paths. The installer never throws or catches
// an exception: running out of memory, or a string asked to outgrow its limits, ends the
// program at once. Saying so here, instead of linking the runtime's exception machinery
// (its allocator's bad_alloc, the throw helpers of the containers, the terminate handler that
// demangles names for a console setup.exe does not have), keeps some 170 KB of code out of the
// stub that every download of the product carries. Linked into setup.exe only, never into the
// tests, which use exceptions.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size)
{
    void* memory = std::malloc(size ? size : 1);
    if (!memory) std::abort();
    return memory;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace std {

void __throw_bad_alloc()
{
    std::abort();
}

void __throw_bad_array_new_length()
{
    std::abort();
}

void __throw_bad_function_call()
{
    std::abort();
}

void __throw_length_error(const char*)
{
    std::abort();
}

void __throw_logic_error(const char*)
{
    std::abort();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    std::abort();
}

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
