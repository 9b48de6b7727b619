// CString: the framework's UTF-16 value string.
// Counts and positions are clamped to the string, so no operation reads or writes outside it:
// Left/Right/Mid take at most what exists, Find("") is the start position, Replace replaces all.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <string>

class CString
{
public:
    CString() = default;
    CString(LPCWSTR psz) : m_str(psz ? psz : L"") {}
    CString(LPCWSTR pch, int nLength)
        : m_str(pch && nLength > 0 ? pch : L"", nLength > 0 ? nLength : 0)
    {
    }
    CString(WCHAR ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::wstring& str) : m_str(str) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator LPCWSTR() const { return m_str.c_str(); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    const std::wstring& str() const { return m_str; }

    // Out-of-range positions read as L'\0' and writes to them are ignored.
    WCHAR GetAt(int nIndex) const;
    WCHAR operator[](int nIndex) const { return GetAt(nIndex); }

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Case-sensitive; -1 when absent or when nStart lies beyond the end.
    int Find(WCHAR ch, int nStart = 0) const;
    int Find(LPCWSTR pszSub, int nStart = 0) const;
    int ReverseFind(WCHAR ch) const;

    int Replace(LPCWSTR pszOld, LPCWSTR pszNew);
    int Replace(WCHAR chOld, WCHAR chNew);

    CString& MakeUpper();

    int Compare(LPCWSTR psz) const;

    // From the program's own resources, or from those of another module.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);
    void Format(LPCWSTR pszFormat, ...);
    void FormatV(LPCWSTR pszFormat, va_list args);

    // Direct buffer access for Win32 calls that fill a buffer: ReleaseBuffer(-1) cuts at the
    // first L'\0'.
    LPWSTR GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    BSTR AllocSysString() const;

    CString& operator=(LPCWSTR psz);
    CString& operator+=(const CString& str);
    CString& operator+=(LPCWSTR psz);
    CString& operator+=(WCHAR ch);

    friend CString operator+(const CString& a, const CString& b)
    {
        return CString(a.m_str + b.m_str);
    }
    friend CString operator+(const CString& a, LPCWSTR b) { return a + CString(b); }
    friend CString operator+(LPCWSTR a, const CString& b) { return CString(a) + b; }
    friend CString operator+(const CString& a, WCHAR b) { return CString(a.m_str + b); }
    friend CString operator+(WCHAR a, const CString& b) { return CString(a) + b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCWSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
    friend bool operator!=(LPCWSTR a, const CString& b) { return !(a == b); }

private:
    std::wstring m_str;
};
