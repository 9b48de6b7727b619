#include "app/MainFrame.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_USER, OnStart)
END_MESSAGE_MAP()

namespace {

const WCHAR kFrameTitle[] = L"Quelda Kivora Button Support Programming Interface";

} // namespace

// Creates the window, which stays hidden, and posts the start message to it.
CMainFrame::CMainFrame()
{
    // 300 by 400 pixels where the system would put a window.
    const LONG nDefault = CW_USEDEFAULT;
    const RECT rect = {nDefault, nDefault, static_cast<LONG>(static_cast<ULONG>(nDefault) + 300),
                       static_cast<LONG>(static_cast<ULONG>(nDefault) + 400)};
    if (!Create(nullptr, kFrameTitle, WS_OVERLAPPEDWINDOW, rect, nullptr,
                MAKEINTRESOURCEW(IDR_MAINFRAME)))
        return;
    PostMessage(WM_USER, 0, 0);
}

// Called when the window is created; the frame is never shown.
int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
    ShowWindow(SW_HIDE);
    return 0;
}

// Called once the message loop runs: says who we are, then closes the frame, which ends the
// program.
LRESULT CMainFrame::OnStart(WPARAM, LPARAM)
{
    AfxMessageBox(IDS_PRODUCT_NAME);
    PostMessage(WM_CLOSE, 0, 0);
    return 0;
}
