#include "app/ButtonConfigApp.h"
#include "app/MainFrame.h"

// Called once before the message loop runs; FALSE ends the program without a window.
BOOL CButtonConfigApp::InitInstance()
{
    AfxEnableControlContainer();
    if (!AfxOleInit()) {
        AfxMessageBox(L"Failed to initialize OLE");
        return FALSE;
    }
    Enable3dControls();
    SetRegistryKey(L"Quelda\\Quelda Kivora Button Support");
    LoadStdProfileSettings(0);

    m_pMainWnd = new CMainFrame;
    return TRUE;
}
