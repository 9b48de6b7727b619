// What the C++ runtime would bring along for its exceptions, replaced for the programs built
// without them: memory that, when there is none, ends the program at once, and the same for the
// errors the string and array templates report.
#include <windows.h>

#include <cstdlib>
#include <new>

// Without memory a program cannot go on: it ends at once, and the system reports it as a fast fail.
[[noreturn]] static void AfxFailFast()
{
    ::RaiseFailFastException(nullptr, nullptr, 0);
    ::TerminateProcess(::GetCurrentProcess(), ERROR_OUTOFMEMORY);
    __builtin_unreachable();
}

void* operator new(size_t nSize)
{
    if (void* p = std::malloc(nSize ? nSize : 1)) return p;
    AfxFailFast();
}

void* operator new[](size_t nSize)
{
    return operator new(nSize);
}

void* operator new(size_t nSize, const std::nothrow_t&) noexcept
{
    return std::malloc(nSize ? nSize : 1);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

// The string and array templates report a length they cannot hold, or a position outside a
// string, through these. The programs clamp the positions they pass, so what is left is a size
// that could not be allocated; whichever it is, the program ends at once.
namespace std {
[[noreturn]] void __throw_length_error(const char*)
{
    AfxFailFast();
}
[[noreturn]] void __throw_logic_error(const char*)
{
    AfxFailFast();
}
[[noreturn]] void __throw_out_of_range(const char*)
{
    AfxFailFast();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...)
{
    AfxFailFast();
}
[[noreturn]] void __throw_invalid_argument(const char*)
{
    AfxFailFast();
}
[[noreturn]] void __throw_bad_alloc()
{
    AfxFailFast();
}
[[noreturn]] void __throw_bad_array_new_length()
{
    AfxFailFast();
}
} // namespace std
