// What tests do as a user or as the shell would: input through the system's queue, and Unix paths
// of the build seen from inside Wine.
#pragma once

#include "framework/String.h"

#include <atomic>
#include <thread>
#include <vector>

// Wine maps the Unix root to drive Z:.
CString WinePath(const char* pszUnixPath);

// Whether the window holds its thread's keyboard focus within the wait.
bool WaitForFocus(HWND hWnd, DWORD dwTimeout = 2000);
// Presses the left button at from, moves to to in steps, stays there past a tick of the system's
// drag loop, releases; with hEscapeTo, Escape goes to that window before the release. Send it from
// a thread other than the one that runs the drag.
void DragMouse(POINT from, POINT to, HWND hEscapeTo = nullptr);
// A click at pt that moves a pixel before the release, all at once.
void ClickMouse(POINT pt);

// Keys (xdotool's names: "Tab", "Down", "Return") and text sent through the X server as a user's
// keyboard sends them, to whichever window has the focus; false when xdotool did not finish.
bool XdoKeys(LPCWSTR pszKeys);
bool XdoType(LPCWSTR pszText);

// A program started by its Windows path, then the parameters. Null handles when it could not start.
PROCESS_INFORMATION StartProcess(const CString& strPath, const CString& strParams = CString());
// Runs one of this test program's disabled tests ("Suite.DISABLED_Name") in a process of its own:
// its exit code, 0 when it passed, 99 when it did not end within the wait.
DWORD RunOwnTest(LPCWSTR pszTest, DWORD dwWait = 30000);

// Another program's windows, as a test watching it finds them.
// A top-level dialog of the process with that title (any, when null) and, when nChildID is not 0,
// a control of that id; null when there is none.
HWND FindDialogOf(DWORD dwProcessId, LPCWSTR pszTitle, int nChildID = 0);
// The same, visible, waited for; null when none showed in time.
HWND WaitForDialog(DWORD dwProcessId, LPCWSTR pszTitle, DWORD dwTimeout = 20000);
// The top-level windows of a thread, in this process or another.
std::vector<HWND> WindowsOf(DWORD dwThread);
// The window as it looks on the screen, as a 24-bit BMP file.
bool SaveScreenshot(HWND hWnd, const CString& strPath);
// What an icon looks like, drawn at 16 by 16 (equal pictures give equal vectors); the icon is
// destroyed. No icon gives no pixels.
std::vector<DWORD> Pixels(HICON hIcon);
// The same of an icon resource of this program.
std::vector<DWORD> ProgramIcon(UINT nID);

// A user's input as the program's controls receive it: mouse and key messages in the program's
// own queue. (Input through the X server is lost now and then on a busy machine without a window
// manager, when the activation of the window arrives after the first events.)
void PostKey(HWND hWnd, WORD wVk);

// Answers the next message box the calling thread shows, as a user reading it would: a thread of
// its own waits for the box, keeps its caption and text and presses the button of that id. The
// thread's dialogs that are open already are not taken for it. Once the caller asks for the text,
// the box that what the caller did shows has come and gone, or will not come: the wait ends then.
class CMessageBoxAnswer
{
public:
    explicit CMessageBoxAnswer(int nButton);
    ~CMessageBoxAnswer();
    CMessageBoxAnswer(const CMessageBoxAnswer&) = delete;
    CMessageBoxAnswer& operator=(const CMessageBoxAnswer&) = delete;

    // Empty when no box came.
    CString Caption();
    CString Text();

private:
    void Answer();

    int m_nButton;
    std::atomic<bool> m_bDone{false};
    DWORD m_dwThread;
    std::vector<HWND> m_open;
    CString m_strCaption, m_strText;
    std::thread m_thread; // last: it starts when the rest is ready
};
