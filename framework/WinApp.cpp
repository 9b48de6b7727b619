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
    m_pszExeName = m_strExeName;
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

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, pMsg);
}

int CWinApp::Run()
{
    for (;;) {
        if (!::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE))
            CWnd::DeleteTempMap(); // idle: temporary window wrappers go
        const BOOL bRet = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
        if (bRet == 0 || bRet == -1) break;
        if (!PreTranslateMessage(&m_msgCur)) {
            ::TranslateMessage(&m_msgCur);
            ::DispatchMessageW(&m_msgCur);
        }
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
    HWND hOwner = ::GetActiveWindow();
    if (!hOwner && m_pMainWnd && m_pMainWnd->IsWindowVisible()) hOwner = m_pMainWnd->m_hWnd;
    return ::MessageBoxW(hOwner, lpszPrompt, m_pszAppName, nType);
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
    if (CWinApp* pApp = AfxGetApp()) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(nullptr, lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString str;
    str.LoadString(nIDPrompt);
    return AfxMessageBox(str, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString str;
    str.LoadString(nIDRegistryKey);
    SetRegistryKey(str);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_nMaxMRU = nMaxMRU;
}

HKEY CWinApp::GetAppRegistryKey() const
{
    if (!m_pszRegistryKey || !m_pszProfileName) return nullptr;
    const CString strKey = CString(L"Software\\") + m_pszRegistryKey + L"\\" + m_pszProfileName;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, strKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

HKEY CWinApp::GetSectionKey(LPCWSTR lpszSection) const
{
    HKEY hAppKey = GetAppRegistryKey();
    if (!hAppKey) return nullptr;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(hAppKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        hKey = nullptr;
    ::RegCloseKey(hAppKey);
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nDefault) const
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return nDefault;
    DWORD dwValue = 0, dwType = 0, cb = sizeof(dwValue);
    const LONG lResult = ::RegQueryValueExW(hKey, lpszEntry, nullptr, &dwType,
                                            reinterpret_cast<LPBYTE>(&dwValue), &cb);
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS && dwType == REG_DWORD && cb == sizeof(dwValue) ? dwValue
                                                                                    : nDefault;
}

BOOL CWinApp::WriteProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nValue) const
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return FALSE;
    const DWORD dwValue = static_cast<DWORD>(nValue);
    const LONG lResult = ::RegSetValueExW(hKey, lpszEntry, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault) const
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return CString(lpszDefault);
    DWORD dwType = 0, cb = 0;
    CString strValue(lpszDefault);
    if (::RegQueryValueExW(hKey, lpszEntry, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS &&
        dwType == REG_SZ) {
        CString str;
        const int nChars = static_cast<int>(cb / sizeof(WCHAR));
        if (::RegQueryValueExW(hKey, lpszEntry, nullptr, &dwType,
                               reinterpret_cast<LPBYTE>(str.GetBuffer(nChars + 1)),
                               &cb) == ERROR_SUCCESS) {
            str.ReleaseBuffer(static_cast<int>(cb / sizeof(WCHAR)));
            str.ReleaseBuffer(); // cut at a terminator stored with the value
            strValue = str;
        }
    }
    ::RegCloseKey(hKey);
    return strValue;
}

BOOL CWinApp::WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue) const
{
    if (!lpszEntry) { // null entry: remove the whole section
        HKEY hAppKey = GetAppRegistryKey();
        if (!hAppKey) return FALSE;
        const LONG lResult = ::RegDeleteTreeW(hAppKey, lpszSection);
        ::RegCloseKey(hAppKey);
        return lResult == ERROR_SUCCESS;
    }
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return FALSE;
    LONG lResult;
    if (!lpszValue) {
        lResult = ::RegDeleteValueW(hKey, lpszEntry);
    } else {
        const DWORD cb = static_cast<DWORD>((lstrlenW(lpszValue) + 1) * sizeof(WCHAR));
        lResult = ::RegSetValueExW(hKey, lpszEntry, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(lpszValue), cb);
    }
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
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

int AfxWinMain(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
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
