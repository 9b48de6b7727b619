// The built program as a user meets it: started, its dialog found by its title and looked at,
// closed with the close box.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "StringPrinter.h"
#include "UserInput.h"
#include "framework/String.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <fstream>
#include <vector>

namespace {

// The window as it looks on the screen, as a 24-bit BMP file.
bool SaveScreenshot(HWND hWnd, const CString& strPath)
{
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

} // namespace

TEST(UserSessionTest, TheDialogOpensShowsAndClosesWithItsCloseBox)
{
    ::CoInitialize(nullptr);
    {
        CEventServerProbe probe;
        ASSERT_TRUE(probe.IsConnected());
        probe.Reset();
        for (LPCWSTR pszParams : {L"", L" BUTTON=305"}) {
            SCOPED_TRACE(pszParams);
            CString strCommand = L"\"" + WinePath(PROGRAM_PATH) + L"\"" + pszParams;
            STARTUPINFOW si = {};
            si.cb = sizeof(si);
            PROCESS_INFORMATION pi = {};
            ASSERT_TRUE(::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE,
                                         0, nullptr, nullptr, &si, &pi));
            const HWND hDlg = WaitForDialog(pi.dwProcessId, L"Kivora Buttons");
            ASSERT_NE(hDlg, nullptr) << "no dialog";
            EXPECT_EQ(probe.Counts().registrations, 49) << "listening while the dialog is open";
            ::UpdateWindow(hDlg);
            ::Sleep(300); // let the list paint
            if (!*pszParams) {
                EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR "/e2e-dialog.bmp")));
            }
            HWND hList = ::GetDlgItem(hDlg, 1000);
            EXPECT_EQ(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), 11);

            ::PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
            ASSERT_EQ(::WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
            DWORD dwExit = 99;
            ::GetExitCodeProcess(pi.hProcess, &dwExit);
            EXPECT_EQ(dwExit, 0u);
            ::CloseHandle(pi.hThread);
            ::CloseHandle(pi.hProcess);
            EXPECT_EQ(probe.Counts().registrations, 0);
            EXPECT_EQ(probe.Counts().connections, 0);
        }
    }
    ::CoUninitialize();
}

namespace {

PROCESS_INFORMATION Start()
{
    CString strCommand = L"\"" + WinePath(PROGRAM_PATH) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &si, &pi);
    return pi;
}

DWORD CloseAndWait(HWND hDlg, const PROCESS_INFORMATION& pi)
{
    ::PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD dwExit = 99;
    if (::WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &dwExit);
    else
        ::TerminateProcess(pi.hProcess, 99);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return dwExit;
}

// Waits up to five seconds for the control to show that text; what it shows then.
CString WaitForText(HWND hDlg, int nID, LPCWSTR pszText)
{
    CString str;
    for (int i = 0; i < 100 && (str = ItemText(hDlg, nID)) != pszText; i++)
        ::Sleep(50);
    return str;
}

// The third button chosen from the keyboard: a click on the first row, then Down twice.
void SelectThirdButton(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, 1000);
    for (int i = 0; i < 100 && ::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == 0; i++)
        ::Sleep(50);
    PostClick(hList, 40, 26);
    PostKey(hList, VK_DOWN);
    PostKey(hList, VK_DOWN);
}

// Types into the assignment edit, whose whole text is selected when it gets the focus.
void TypeAssignment(HWND hDlg, LPCWSTR pszText)
{
    HWND hEdit = ::GetDlgItem(hDlg, 1005);
    PostClickCentre(hEdit);
    for (const WCHAR* p = pszText; *p; ++p)
        ::PostMessageW(hEdit, WM_CHAR, *p, 1);
}

} // namespace

TEST(UserSessionTest, AnAssignedWebsiteIsThereAfterARestart)
{
    CConfigServiceStore store;
    PROCESS_INFORMATION pi = Start();
    HWND hDlg = WaitForDialog(pi.dwProcessId, L"Kivora Buttons");
    if (!hDlg) ::TerminateProcess(pi.hProcess, 99);
    ASSERT_NE(hDlg, nullptr);
    SelectThirdButton(hDlg);
    EXPECT_EQ(WaitForText(hDlg, 1001, L"Search"), L"Search");
    TypeAssignment(hDlg, L"www.kivora.example/search");
    PostClickCentre(::GetDlgItem(hDlg, 1045)); // Apply
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/search"), L"www.kivora.example/search");
    ::Sleep(300);
    EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR "/e2e-assigned.bmp")));
    EXPECT_EQ(CloseAndWait(hDlg, pi), 0u);

    pi = Start();
    hDlg = WaitForDialog(pi.dwProcessId, L"Kivora Buttons");
    if (!hDlg) ::TerminateProcess(pi.hProcess, 99);
    ASSERT_NE(hDlg, nullptr);
    SelectThirdButton(hDlg);
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/search"), L"www.kivora.example/search");
    EXPECT_EQ(CloseAndWait(hDlg, pi), 0u);
}
