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

void PressKeys(const std::vector<WORD>& keys)
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

CMessageBoxAnswer::CMessageBoxAnswer(int nButton, DWORD dwWaitMilliseconds)
    : m_nButton(nButton), m_dwWait(dwWaitMilliseconds), m_dwThread(::GetCurrentThreadId())
{
    m_hThread = ::CreateThread(
        nullptr, 0,
        [](LPVOID pv) -> DWORD {
            auto* pThis = static_cast<CMessageBoxAnswer*>(pv);
            HWND hBox = nullptr;
            for (DWORD dwStart = ::GetTickCount();
                 !hBox && ::GetTickCount() - dwStart < pThis->m_dwWait; ::Sleep(20))
                ::EnumThreadWindows(
                    pThis->m_dwThread,
                    [](HWND hWnd, LPARAM lParam) -> BOOL {
                        WCHAR szClass[16] = {};
                        ::GetClassNameW(hWnd, szClass, ARRAYSIZE(szClass));
                        // A message box is the dialog with a static text of id 0xFFFF.
                        if (wcscmp(szClass, L"#32770") || !::IsWindowVisible(hWnd) ||
                            !::GetDlgItem(hWnd, 0xFFFF))
                            return TRUE;
                        *reinterpret_cast<HWND*>(lParam) = hWnd;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&hBox));
            if (!hBox) return 0;
            WCHAR szText[1024] = {};
            ::GetWindowTextW(hBox, szText, ARRAYSIZE(szText));
            pThis->m_strCaption = szText;
            ::GetDlgItemTextW(hBox, 0xFFFF, szText, ARRAYSIZE(szText));
            pThis->m_strText = szText;
            ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(pThis->m_nButton, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hBox, pThis->m_nButton)));
            return 0;
        },
        this, 0, nullptr);
}

CMessageBoxAnswer::~CMessageBoxAnswer()
{
    Wait();
}

void CMessageBoxAnswer::Wait()
{
    if (!m_hThread) return;
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}

CString CMessageBoxAnswer::Caption()
{
    Wait();
    return m_strCaption;
}

CString CMessageBoxAnswer::Text()
{
    Wait();
    return m_strText;
}
