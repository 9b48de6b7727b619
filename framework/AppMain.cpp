// The program's entry point; kept in its own object so test executables do not pull it in.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
