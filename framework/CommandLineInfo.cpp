#include "framework/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL)
{
    if (!pszParam) return;
    if (bFlag) {
        if (!lstrcmpiW(pszParam, L"Embedding")) {
            m_bRunEmbedded = TRUE;
            m_bShowSplash = FALSE;
        } else if (!lstrcmpiW(pszParam, L"Automation")) {
            m_bRunAutomated = TRUE;
            m_bShowSplash = FALSE;
        } else if (!lstrcmpiW(pszParam, L"Unregister") || !lstrcmpiW(pszParam, L"Unregserver")) {
            m_nShellCommand = AppUnregister;
        } else if (!lstrcmpiW(pszParam, L"p")) {
            m_nShellCommand = FilePrint;
        } else if (!lstrcmpiW(pszParam, L"dde")) {
            m_nShellCommand = FileDDE;
        }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    }
}
