// The system-tray program stand-in: a hidden top-level window with the tray window's title and an
// icon in the notification area; it ends when asked to close.
#include <windows.h>
#include <shellapi.h>

namespace {

const WCHAR kTitle[] = L"Quelda Kivora System Tray Window";
NOTIFYICONDATAW g_icon = {};

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_CLOSE:
            ::Shell_NotifyIconW(NIM_DELETE, &g_icon);
            ::DestroyWindow(hWnd);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    // Libraries only from the system folder and this program's own, never the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = L"KivoraSystemTray";
    if (!::RegisterClassW(&wc)) return 1;
    HWND hWnd = ::CreateWindowW(wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, hInstance, nullptr);
    if (!hWnd) return 1;
    g_icon.cbSize = sizeof(g_icon);
    g_icon.hWnd = hWnd;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_ICON | NIF_TIP;
    g_icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(g_icon.szTip, L"Kivora Buttons", ARRAYSIZE(g_icon.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &g_icon);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    return 0;
}
