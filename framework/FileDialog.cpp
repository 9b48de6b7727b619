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

namespace {

// The common dialogs' library comes from the system folder when a dialog is first shown, not
// with the program: it is large, and most runs never show one.
FARPROC CommonDialogFunction(const char* pszName)
{
    static HMODULE s_hLibrary = nullptr;
    if (!s_hLibrary) {
        WCHAR szPath[MAX_PATH] = {};
        const UINT cch = ::GetSystemDirectoryW(szPath, MAX_PATH);
        if (cch == 0 || cch + 14 > MAX_PATH) return nullptr;
        ::lstrcatW(szPath, L"\\comdlg32.dll");
        s_hLibrary = ::LoadLibraryW(szPath);
    }
    return s_hLibrary ? ::GetProcAddress(s_hLibrary, pszName) : nullptr;
}

} // namespace

INT_PTR CFileDialog::DoModal()
{
    using PfnFileName = BOOL(WINAPI*)(LPOPENFILENAMEW);
    const auto pfnShow = reinterpret_cast<PfnFileName>(reinterpret_cast<void (*)()>(
        CommonDialogFunction(m_bOpenFileDialog ? "GetOpenFileNameW" : "GetSaveFileNameW")));
    return pfnShow && pfnShow(&m_ofn) ? IDOK : IDCANCEL;
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
