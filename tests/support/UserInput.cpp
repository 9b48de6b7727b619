#include "UserInput.h"

#include "Session.h"

#include <algorithm>
#include <cstring>
#include <fstream>

CString WinePath(const char* pszUnixPath)
{
    CString strPath(L"Z:");
    for (const char* p = pszUnixPath; *p; ++p)
        strPath += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
    return strPath;
}

bool WaitForFocus(HWND hWnd, DWORD dwTimeout)
{
    const DWORD dwThread = ::GetWindowThreadProcessId(hWnd, nullptr);
    return WaitUntil(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            return ::GetGUIThreadInfo(dwThread, &info) && info.hwndFocus == hWnd &&
                   ::GetForegroundWindow() == ::GetAncestor(hWnd, GA_ROOT);
        },
        dwTimeout);
}

namespace {

void SendMouse(DWORD dwFlags, POINT pt)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = dwFlags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    // 0..65535 spans the screen; rounded up to land on the pixel.
    const LONG cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (pt.x * 65536 + cx - 1) / cx;
    input.mi.dy = (pt.y * 65536 + cy - 1) / cy;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

void ClickMouse(POINT pt)
{
    SendMouse(0, pt);
    SendMouse(MOUSEEVENTF_LEFTDOWN, pt);
    SendMouse(0, {pt.x + 1, pt.y});
    SendMouse(MOUSEEVENTF_LEFTUP, {pt.x + 1, pt.y});
}

void DragMouse(POINT from, POINT to, HWND hEscapeTo)
{
    SendMouse(0, from);
    ::Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    ::Sleep(50);
    for (int step = 1; step <= 10; step++) {
        SendMouse(0, {from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
        ::Sleep(30);
    }
    if (hEscapeTo) PostKey(hEscapeTo, VK_ESCAPE);
    ::Sleep(150);
    SendMouse(MOUSEEVENTF_LEFTUP, to);
    ::Sleep(100);
}

namespace {

// Wine starts Unix programs through CreateProcess but cannot wait for them: the shell leaves a file
// behind when xdotool is done.
bool RunXdotool(const CString& strArguments)
{
    // Named by the display too: the two architectures' runs, each with a Wine of its own on a
    // display of its own, may have processes of the same id.
    char szDisplay[16] = {};
    ::GetEnvironmentVariableA("DISPLAY", szDisplay, sizeof(szDisplay));
    const int nDisplay = atoi(szDisplay + (*szDisplay == ':'));
    CString strDoneUnix;
    strDoneUnix.Format(L"/tmp/xdotool-%d-%lu.done", nDisplay, ::GetCurrentProcessId());
    CString strDone = L"Z:" + strDoneUnix;
    strDone.Replace(L'/', L'\\');
    ::DeleteFileW(strDone);
    CString strCommand = L"\"" + WinePath("/bin/sh") + L"\" -c \"xdotool " + strArguments +
                         L"; touch " + strDoneUnix + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    for (int i = 0; i < 1000; i++, ::Sleep(10))
        if (::GetFileAttributesW(strDone) != INVALID_FILE_ATTRIBUTES) {
            ::DeleteFileW(strDone);
            ::Sleep(100);
            return true;
        }
    return false;
}

} // namespace

bool XdoKeys(LPCWSTR pszKeys)
{
    return RunXdotool(CString(L"key --delay 40 ") + pszKeys);
}

bool XdoType(LPCWSTR pszText)
{
    // Inside single quotes for the shell: the text must hold none.
    return !wcschr(pszText, L'\'') && RunXdotool(CString(L"type --delay 20 '") + pszText + L"'");
}

PROCESS_INFORMATION StartProcess(const CString& strPath, const CString& strParams)
{
    CString strCommand = L"\"" + strPath + L"\"";
    if (!strParams.IsEmpty()) strCommand += L" " + strParams;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &si, &pi);
    return pi;
}

DWORD RunOwnTest(LPCWSTR pszTest, DWORD dwWait)
{
    WCHAR szSelf[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
    CProgramUnderTest self(
        szSelf, std::wstring(L"--gtest_also_run_disabled_tests --gtest_filter=") + pszTest);
    return self.Start() ? self.WaitForEnd(dwWait) : 99;
}

HWND FindDialogOf(DWORD dwProcessId, LPCWSTR pszTitle, int nChildID)
{
    for (HWND hWnd = nullptr; (hWnd = ::FindWindowExW(nullptr, hWnd, L"#32770", pszTitle));) {
        DWORD dwOwner = 0;
        ::GetWindowThreadProcessId(hWnd, &dwOwner);
        if (dwOwner == dwProcessId && (!nChildID || ::GetDlgItem(hWnd, nChildID))) return hWnd;
    }
    return nullptr;
}

HWND WaitForDialog(DWORD dwProcessId, LPCWSTR pszTitle, DWORD dwTimeout)
{
    HWND hWnd = nullptr;
    WaitUntil(
        [&] {
            hWnd = FindDialogOf(dwProcessId, pszTitle);
            return hWnd && ::IsWindowVisible(hWnd);
        },
        dwTimeout);
    return hWnd && ::IsWindowVisible(hWnd) ? hWnd : nullptr;
}

void PostKey(HWND hWnd, WORD wVk)
{
    ::PostMessageW(hWnd, WM_KEYDOWN, wVk, 1);
    ::PostMessageW(hWnd, WM_KEYUP, wVk, 0xC0000001);
}

namespace {

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOf(DWORD dwThread)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(dwThread, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

CMessageBoxAnswer::CMessageBoxAnswer(int nButton)
    : m_nButton(nButton), m_dwThread(::GetCurrentThreadId()), m_open(WindowsOf(m_dwThread)),
      m_thread([this] { Answer(); })
{
}

CMessageBoxAnswer::~CMessageBoxAnswer()
{
    Text();
}

// A message box is a new dialog of the thread with a static text of id 0xFFFF.
void CMessageBoxAnswer::Answer()
{
    HWND hBox = nullptr;
    WaitUntil(
        [&] {
            for (HWND hWnd : WindowsOf(m_dwThread)) {
                WCHAR szClass[16] = {};
                ::GetClassNameW(hWnd, szClass, ARRAYSIZE(szClass));
                if (!wcscmp(szClass, L"#32770") && ::IsWindowVisible(hWnd) &&
                    ::GetDlgItem(hWnd, 0xFFFF) &&
                    std::find(m_open.begin(), m_open.end(), hWnd) == m_open.end())
                    hBox = hWnd;
            }
            return hBox || m_bDone;
        },
        INFINITE);
    if (!hBox) return;
    m_strCaption = WindowText(hBox).c_str();
    m_strText = WindowText(::GetDlgItem(hBox, 0xFFFF)).c_str();
    ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(m_nButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hBox, m_nButton)));
}

CString CMessageBoxAnswer::Caption()
{
    Text();
    return m_strCaption;
}

CString CMessageBoxAnswer::Text()
{
    m_bDone = true;
    if (m_thread.joinable()) m_thread.join();
    return m_strText;
}

// The window as it looks on the screen, as a 24-bit BMP file.
bool SaveScreenshot(HWND hWnd, const CString& strPath)
{
    // Painted to the end before the picture is taken.
    ::RedrawWindow(hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFOHEADER bih = {sizeof(bih), cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, reinterpret_cast<BITMAPINFO*>(&bih),
                                         DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    const DWORD cbImage = static_cast<DWORD>(((cx * 3 + 3) & ~3) * cy);
    BITMAPFILEHEADER bfh = {0x4D42, 0, 0, 0, sizeof(bfh) + sizeof(bih)};
    bfh.bfSize = bfh.bfOffBits + cbImage;
    std::ofstream out(strPath.GetString(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&bfh), sizeof(bfh));
    out.write(reinterpret_cast<const char*>(&bih), sizeof(bih));
    out.write(static_cast<const char*>(pBits), cbImage);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return out.good() && cx > 0 && cy > 0;
}

std::vector<DWORD> Pixels(HICON hIcon)
{
    if (!hIcon) return {};
    std::vector<DWORD> pixels(16 * 16, 0);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    ::DrawIconEx(hDC, 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::memcpy(pixels.data(), pBits, pixels.size() * sizeof(DWORD));
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    ::DestroyIcon(hIcon);
    return pixels;
}

std::vector<DWORD> ProgramIcon(UINT nID)
{
    return Pixels(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nID), IMAGE_ICON, 16, 16, 0)));
}
