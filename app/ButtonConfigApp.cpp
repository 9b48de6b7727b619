#include "app/ButtonConfigApp.h"
#include "app/ButtonCommandLineInfo.h"
#include "app/MainFrame.h"

IMPLEMENT_DYNAMIC(CButtonConfigApp, CWinApp)

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

    CButtonCommandLineInfo cmdInfo;
    ::CoInitialize(nullptr);
    // Without the server the program runs on, with no listener subscribed.
    ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                       IID_IButtonEventServer, reinterpret_cast<void**>(&m_pButtonServer));
    ParseCommandLine(cmdInfo);

    m_pMainWnd = new CMainFrame;
    return TRUE;
}

// Called once when the message loop has ended.
int CButtonConfigApp::ExitInstance()
{
    if (m_pButtonServer) {
        m_pButtonServer->Release();
        m_pButtonServer = nullptr;
    }
    ::CoUninitialize();
    return CWinApp::ExitInstance();
}

int CButtonConfigApp::SetButton(int nButton)
{
    const int nOld = m_nButton;
    m_nButton = nButton;
    return nOld;
}
