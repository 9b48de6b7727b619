// The program's entry point; kept in its own object so test executables do not pull it in.
#include "framework/WinApp.h"

#include <cstdlib>

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
