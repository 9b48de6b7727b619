// CRegKey: an open registry key, closed when it goes.
#pragma once

#include "framework/String.h"

class CRegKey
{
public:
    CRegKey() = default;
    CRegKey(HKEY hRoot, LPCWSTR lpszKey, REGSAM samDesired) { Open(hRoot, lpszKey, samDesired); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { Close(); }

    BOOL Open(HKEY hRoot, LPCWSTR lpszKey, REGSAM samDesired);
    void Close();
    operator HKEY() const { return m_hKey; }

    // Reads at most four bytes over the start of dw, whatever the value's type says.
    LONG QueryDword(LPCWSTR lpszValue, DWORD& dw) const;
    // A string of at most cbMax bytes with its terminator; empty when it cannot be read.
    CString QueryString(LPCWSTR lpszValue, DWORD cbMax) const;

private:
    HKEY m_hKey = nullptr;
};
