#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <ole2.h>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {

CWinApp* g_pApp = nullptr;
BOOL g_bOleInitialized = FALSE;

} // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_hInstance(::GetModuleHandleW(nullptr))
{
    g_pApp = this;
    WCHAR szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szPath, ARRAYSIZE(szPath));
    CString strPath(szPath);
    m_strExeName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    const int nDot = m_strExeName.ReverseFind(L'.');
    if (nDot > 0) m_strExeName = m_strExeName.Left(nDot);
    m_strAppName = lpszAppName ? CString(lpszAppName) : m_strExeName;
    const int nExt = strPath.ReverseFind(L'.');
    m_strHelpFilePath =
        (nExt > strPath.ReverseFind(L'\\') ? strPath.Left(nExt) : strPath) + L".html";
    m_pszAppName = m_strAppName;
    m_pszHelpFilePath = m_strHelpFilePath;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

int CWinApp::Run()
{
    while (::GetMessageW(&m_msgCur, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return ExitInstance();
}

// The exit code is the quit message's.
int CWinApp::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT)
{
    return ::MessageBoxW(::GetActiveWindow(), lpszPrompt, m_pszAppName, nType);
}

// The help is one HTML page beside the program, opened by whatever shows web pages here; the
// context and command do not choose a part of it.
void CWinApp::WinHelp(DWORD_PTR, UINT)
{
    ::ShellExecuteW(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, L"open", m_pszHelpFilePath, nullptr,
                    nullptr, SW_SHOWNORMAL);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    nType |= AfxMessageBoxLayout();
    if (CWinApp* pApp = AfxGetApp()) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(nullptr, lpszText, nullptr, nType);
}

UINT AfxMessageBoxLayout()
{
    DWORD dwLayout = 0;
    return ::GetProcessDefaultLayout(&dwLayout) && (dwLayout & LAYOUT_RTL)
               ? MB_RTLREADING | MB_RIGHT
               : 0;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    ParseCommandLine(rCmdInfo, ::GetCommandLineW());
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo, LPCWSTR lpszCommandLine)
{
    // An empty line would make the system answer with the path of the executable.
    if (!lpszCommandLine || !*lpszCommandLine) return;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(lpszCommandLine, &argc);
    if (!argv) return;
    // argv[0] is the program itself.
    for (int i = 1; i < argc; i++) {
        LPCWSTR pszParam = argv[i];
        BOOL bFlag = FALSE;
        if (pszParam[0] == L'-' || pszParam[0] == L'/') {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, i == argc - 1);
    }
    ::LocalFree(argv);
}

BOOL AfxOleInit()
{
    if (FAILED(::OleInitialize(nullptr))) return FALSE;
    g_bOleInitialized = TRUE;
    return TRUE;
}

void AfxOleTerm()
{
    if (g_bOleInitialized) ::OleUninitialize();
    g_bOleInitialized = FALSE;
}

// Dialogs here host only standard controls; there is no container state to set up.
void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    int nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd) pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } else {
        nReturnCode = pApp->Run();
    }
    AfxOleTerm();
    return nReturnCode;
}
