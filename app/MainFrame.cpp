#include "app/MainFrame.h"
#include "app/AboutDlg.h"
#include "app/ButtonConfigApp.h"
#include "dialog/ButtonSettingsDlg.h"
#include "res/resource.h"

#include <new>

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_QUERYENDSESSION()
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_MESSAGE(WM_USER, OnStart)
END_MESSAGE_MAP()

namespace {

const WCHAR kFrameTitle[] = L"Quelda Kivora Button Support Programming Interface";

// The button ids the program listens to, in the order the listeners are made.
const struct
{
    LONG nFirst, nLast;
} kButtonGroups[] = {{101, 108}, {201, 218}, {301, 308}, {401, 410}, {501, 505}};

} // namespace

// Creates the window, which stays hidden, and posts the start message to it; ends the program
// instead when another copy is running.
CMainFrame::CMainFrame()
{
    // The running copy is neither told nor activated.
    if (::FindWindowW(nullptr, kFrameTitle)) {
        ::PostQuitMessage(0);
        return;
    }
    // 300 by 400 pixels where the system would put a window.
    const LONG nDefault = CW_USEDEFAULT;
    const RECT rect = {nDefault, nDefault, static_cast<LONG>(static_cast<ULONG>(nDefault) + 300),
                       static_cast<LONG>(static_cast<ULONG>(nDefault) + 400)};
    if (!Create(nullptr, kFrameTitle, WS_OVERLAPPEDWINDOW, rect, nullptr,
                MAKEINTRESOURCEW(IDR_MAINFRAME))) {
        // Nothing would ever end the message loop.
        ::PostQuitMessage(1);
        return;
    }
    PostMessage(WM_USER, 0, 0);
}

// Called when the window is created; the frame is never shown.
int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
    ShowWindow(SW_HIDE);
    return 0;
}

// Called when the session is about to end.
BOOL CMainFrame::OnQueryEndSession()
{
    return CFrameWnd::OnQueryEndSession() ? TRUE : FALSE;
}

// Called for every power event: a suspend is always granted.
LRESULT CMainFrame::OnPowerBroadcast(WPARAM, LPARAM)
{
    return TRUE;
}

// Called when the session ends; the program leaves that to the system.
LRESULT CMainFrame::OnEndSession(WPARAM, LPARAM)
{
    return 0;
}

// Called once the message loop runs: the configuration flow from start to end.
LRESULT CMainFrame::OnStart(WPARAM, LPARAM)
{
    AttachListeners();
    {
        CButtonSettingsDlg dlg(this);
        dlg.m_showAbout = [] {
            CAboutDlg about;
            about.DoModal();
        };
        dlg.DoModal();
    }
    DetachListeners();
    PostMessage(WM_CLOSE, 0, 0);
    return 0;
}

void CMainFrame::AttachListeners()
{
    m_listeners.RemoveAll();
    CWinApp* pApp = AfxGetApp();
    IButtonEventServer* pServer = pApp && pApp->IsKindOf(RUNTIME_CLASS(CButtonConfigApp))
                                      ? static_cast<CButtonConfigApp*>(pApp)->m_pButtonServer.p
                                      : nullptr;
    // Nothing here throws: a listener that cannot be allocated is a null entry, and an array
    // that cannot grow ends the program, as every failed allocation does.
    for (const auto& group : kButtonGroups)
        for (LONG nId = group.nFirst; nId <= group.nLast; nId++)
            m_listeners.Add(new (std::nothrow) CButtonListener(pServer, nId));
}

void CMainFrame::DetachListeners()
{
    m_listeners.RemoveAll();
}
