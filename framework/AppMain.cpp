// The program's entry point; kept in its own object so test executables do not pull it in.
#include "framework/WinApp.h"

// The command line is read where it is parsed; the main frame chooses how it shows itself.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    return AfxWinMain(hInstance);
}
