#include "framework/FileDialog.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName,
                         DWORD dwFlags, LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_strFilter(lpszFilter)
{
    if (lpszFileName) ::lstrcpynW(m_szFileName, lpszFileName, ARRAYSIZE(m_szFileName));
    m_strFilter.Replace(L'|', L'\0');
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = ARRAYSIZE(m_szFileName);
    m_ofn.lpstrDefExt = lpszDefExt ? static_cast<LPCWSTR>(m_strDefExt) : nullptr;
    m_ofn.lpstrFilter = lpszFilter ? static_cast<LPCWSTR>(m_strFilter) : nullptr;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    const BOOL bChosen =
        m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return bChosen ? IDOK : IDCANCEL;
}

POSITION CFileDialog::GetStartPosition() const
{
    return m_szFileName[0] ? reinterpret_cast<POSITION>(const_cast<LPWSTR>(m_szFileName)) : nullptr;
}

// Only single choices are made here, so the first name is the whole buffer.
CString CFileDialog::GetNextPathName(POSITION& rPos) const
{
    const LPCWSTR pszName = reinterpret_cast<LPCWSTR>(rPos);
    rPos = nullptr;
    return pszName;
}
