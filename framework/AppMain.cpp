// The program's entry point; kept in its own object so test executables do not pull it in.
#include "framework/WinApp.h"

#include <cstdlib>
#include <new>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}

// An exception nothing catches ends the program. The runtime's own handler would first describe
// it, which links in a name demangler the size of a third of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

// The library reports a misused string (too long, a position outside it) with exception classes
// that carry strings of their own, and those bring a second string library along. This program
// clamps every position, so the only such failure left is one it could not allocate: it is
// reported as that.
namespace std {
[[noreturn]] void __throw_length_error(const char*)
{
    throw bad_alloc();
}
[[noreturn]] void __throw_logic_error(const char*)
{
    throw bad_alloc();
}
[[noreturn]] void __throw_out_of_range(const char*)
{
    throw bad_alloc();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...)
{
    throw bad_alloc();
}
[[noreturn]] void __throw_invalid_argument(const char*)
{
    throw bad_alloc();
}
[[noreturn]] void __throw_bad_alloc()
{
    throw bad_alloc();
}
[[noreturn]] void __throw_bad_array_new_length()
{
    throw bad_alloc();
}
} // namespace std
