// Stands in for the web browser in tests: writes the command line it was started with to the
// file named by its first argument.
#include <windows.h>

#include <fstream>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 1;
    std::wofstream(argv[1]) << ::GetCommandLineW();
    return 0;
}
