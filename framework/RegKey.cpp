#include "framework/RegKey.h"

BOOL CRegKey::Open(HKEY hRoot, LPCWSTR lpszKey, REGSAM samDesired)
{
    Close();
    if (::RegOpenKeyExW(hRoot, lpszKey, 0, samDesired, &m_hKey) != ERROR_SUCCESS) m_hKey = nullptr;
    return m_hKey != nullptr;
}

void CRegKey::Close()
{
    if (m_hKey) ::RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

LONG CRegKey::QueryDword(LPCWSTR lpszValue, DWORD& dw) const
{
    DWORD cb = sizeof(dw);
    return ::RegQueryValueExW(m_hKey, lpszValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&dw),
                              &cb);
}

CString CRegKey::QueryString(LPCWSTR lpszValue, DWORD cbMax) const
{
    CString str;
    DWORD cb = cbMax, dwType = 0;
    // Room for a terminator the value may lack.
    LPWSTR pBuffer = str.GetBuffer(static_cast<int>(cbMax / sizeof(WCHAR)) + 1);
    if (::RegQueryValueExW(m_hKey, lpszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(pBuffer),
                           &cb) != ERROR_SUCCESS ||
        (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        cb = 0;
    str.ReleaseBuffer(static_cast<int>(cb / sizeof(WCHAR)));
    str.ReleaseBuffer(); // up to a stored terminator
    return str;
}
