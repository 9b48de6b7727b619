// CFileDialog: the system's Open or Save As dialog. The filter separates its parts with "|"; the
// file name buffer keeps what the dialog left in it, also after a cancel.
#pragma once

#include "framework/List.h"
#include "framework/Wnd.h"

#include <commdlg.h>

class CFileDialog
{
public:
    CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr, LPCWSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                LPCWSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The chosen name: the file name buffer as the dialog left it.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& rPos) const;

    OPENFILENAMEW m_ofn = {};

private:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFilter; // "|" turned into the terminators the system reads
    WCHAR m_szFileName[MAX_PATH] = {};
};
