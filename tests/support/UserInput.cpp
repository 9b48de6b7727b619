#include "UserInput.h"

CString WinePath(const char* pszUnixPath)
{
    CString strPath(L"Z:");
    for (const char* p = pszUnixPath; *p; ++p)
        strPath += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
    return strPath;
}

namespace {

void SendKey(WORD wVk, WCHAR chUnicode)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = wVk;
    input[0].ki.wScan = input[1].ki.wScan = chUnicode;
    input[0].ki.dwFlags = chUnicode ? KEYEVENTF_UNICODE : 0;
    input[1].ki.dwFlags = input[0].ki.dwFlags | KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
}

} // namespace

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD wVk : keys) {
        SendKey(wVk, 0);
        ::Sleep(40);
    }
    ::Sleep(200);
}

void TypeText(LPCWSTR pszText)
{
    for (const WCHAR* p = pszText; *p; ++p) {
        SendKey(0, *p);
        ::Sleep(10);
    }
    ::Sleep(200);
}

void ClickAt(int x, int y)
{
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
    ::Sleep(300);
}

void ClickWindow(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}
