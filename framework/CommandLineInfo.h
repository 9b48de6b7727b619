// CCommandLineInfo: what the standard command-line parser records.
#pragma once

#include "framework/Object.h"
#include "framework/String.h"

class CCommandLineInfo : public CObject
{
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };

    CCommandLineInfo() = default;

    // Called once per parameter; a leading "/" or "-" has been removed and bFlag set.
    virtual void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};
