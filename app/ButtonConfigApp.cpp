#include "app/ButtonConfigApp.h"
#include "app/ButtonCommandLineInfo.h"
#include "app/MainFrame.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CButtonConfigApp, CWinApp)

namespace {

// Libraries loaded by name come from the program's folder and the system's, never from the
// current folder (which the icon code moves) or the path.
void RestrictLibrarySearch()
{
    // Looked up, as older systems have neither.
    const HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    typedef BOOL(WINAPI * PFNSETDEFAULTDLLDIRECTORIES)(DWORD);
    typedef BOOL(WINAPI * PFNSETDLLDIRECTORY)(LPCWSTR);
    const auto pfnSetDefault = reinterpret_cast<PFNSETDEFAULTDLLDIRECTORIES>(
        reinterpret_cast<void (*)()>(::GetProcAddress(hKernel, "SetDefaultDllDirectories")));
    if (pfnSetDefault &&
        pfnSetDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // At least not the current folder.
    const auto pfnSetDirectory = reinterpret_cast<PFNSETDLLDIRECTORY>(
        reinterpret_cast<void (*)()>(::GetProcAddress(hKernel, "SetDllDirectoryW")));
    if (pfnSetDirectory) pfnSetDirectory(L"");
}

// The string table of a right-to-left language says so: then every window the program makes (its
// dialogs, their lists, menus and message boxes) is mirrored, as Windows mirrors its own. A
// right-to-left locale without a table of its own shows the English texts, left to right.
void MirrorForReadingOrder()
{
    CString strOrder;
    strOrder.LoadString(IDS_READING_ORDER);
    if (strOrder == L"RTL") ::SetProcessDefaultLayout(LAYOUT_RTL);
}

} // namespace

// Called once before the message loop runs; FALSE ends the program without a window.
BOOL CButtonConfigApp::InitInstance()
{
    RestrictLibrarySearch();
    MirrorForReadingOrder();
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
                       IID_IButtonEventServer, m_pButtonServer.Out());
    ParseCommandLine(cmdInfo);

    m_pMainWnd = new CMainFrame;
    return TRUE;
}

// Called once when the message loop has ended.
int CButtonConfigApp::ExitInstance()
{
    m_pButtonServer.Release();
    ::CoUninitialize();
    return CWinApp::ExitInstance();
}

int CButtonConfigApp::SetButton(int nButton)
{
    const int nOld = m_nButton;
    m_nButton = nButton;
    return nOld;
}
