// The real program, started as a user would start it.
#include "framework/String.h"

#include <gtest/gtest.h>

namespace {

const WCHAR kFrameTitle[] = L"Quelda Kivora Button Support Programming Interface";

// Wine maps the Unix root to drive Z:.
CString ProgramPath()
{
    CString strPath(L"Z:");
    for (const char* p = PROGRAM_PATH; *p; ++p)
        strPath += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
    return strPath;
}

// Waits up to ten seconds for a top-level window of that class and title.
HWND WaitForWindow(LPCWSTR lpszClass, LPCWSTR lpszTitle)
{
    for (int i = 0; i < 200; i++) {
        if (HWND hWnd = ::FindWindowW(lpszClass, lpszTitle)) return hWnd;
        ::Sleep(50);
    }
    return nullptr;
}

} // namespace

TEST(ProgramStartTest, ShowsItsNameFromAHiddenFrameAndEndsWithExitCodeZero)
{
    CString strCommand = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &si, &pi))
        << "cannot start " << static_cast<const char*>(PROGRAM_PATH);
    strCommand.ReleaseBuffer();

    // The message box's caption is the application name: the executable's base name.
    HWND hBox = WaitForWindow(L"#32770", L"ButtonConfig");
    ASSERT_NE(hBox, nullptr) << "no message box";
    WCHAR szText[128] = {};
    ::GetDlgItemTextW(hBox, 0xFFFF, szText, ARRAYSIZE(szText));
    EXPECT_STREQ(szText, L"Quelda Kivora Button Software");

    // Behind it, the frame exists with its title and stays hidden.
    HWND hFrame = ::FindWindowW(nullptr, kFrameTitle);
    ASSERT_NE(hFrame, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hFrame));
    DWORD dwFrameProcess = 0;
    ::GetWindowThreadProcessId(hFrame, &dwFrameProcess);
    EXPECT_EQ(dwFrameProcess, pi.dwProcessId);
    RECT rc = {};
    ::GetWindowRect(hFrame, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 400);

    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(::WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0) << "the program hangs";
    DWORD dwExitCode = 1;
    ::GetExitCodeProcess(pi.hProcess, &dwExitCode);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(::FindWindowW(nullptr, kFrameTitle), nullptr);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}
