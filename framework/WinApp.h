// CWinApp: the one global application object and its message loop.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/CommandLineInfo.h"
#include "framework/String.h"

class CWnd;

class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)

public:
    // lpszAppName null: the executable's base name.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance();
    // Every framework message box goes through here, so a test application can answer it.
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // The program keeps neither settings nor recently used files of its own in the registry.
    void SetRegistryKey(LPCWSTR) {}
    void LoadStdProfileSettings(UINT) {}
    BOOL Enable3dControls() { return TRUE; } // controls are three-dimensional anyway
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    static void ParseCommandLine(CCommandLineInfo& rCmdInfo, LPCWSTR lpszCommandLine);

    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;
    LPCWSTR m_pszAppName;
    LPCWSTR m_pszHelpFilePath;

protected:
    MSG m_msgCur = {};

private:
    CString m_strAppName, m_strExeName, m_strHelpFilePath;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
BOOL AfxOleInit();
void AfxOleTerm();
void AfxEnableControlContainer();
// The framework's entry: InitInstance, then Run (or ExitInstance when InitInstance failed).
int AfxWinMain(HINSTANCE hInstance);
