#include "framework/String.h"

#include <cwchar>
#include <cwctype>
#include <cstdarg>
#include <algorithm>

namespace {

int Clamp(int n, int nMax)
{
    return n < 0 ? 0 : (n > nMax ? nMax : n);
}

} // namespace

WCHAR CString::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetLength() ? m_str[nIndex] : L'\0';
}

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, Clamp(nCount, GetLength())));
}

CString CString::Right(int nCount) const
{
    const int n = Clamp(nCount, GetLength());
    return CString(m_str.substr(GetLength() - n));
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int first = Clamp(nFirst, GetLength());
    return CString(m_str.substr(first, Clamp(nCount, GetLength() - first)));
}

int CString::Find(WCHAR ch, int nStart) const
{
    if (nStart < 0) nStart = 0;
    if (nStart >= GetLength()) return -1;
    const size_t pos = m_str.find(ch, nStart);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(LPCWSTR pszSub, int nStart) const
{
    if (nStart < 0) nStart = 0;
    if (nStart > GetLength()) return -1;
    const size_t pos = m_str.find(pszSub ? pszSub : L"", nStart);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(WCHAR ch) const
{
    const size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(LPCWSTR pszOld, LPCWSTR pszNew)
{
    const std::wstring oldText = pszOld ? pszOld : L"";
    const std::wstring newText = pszNew ? pszNew : L"";
    if (oldText.empty()) return 0;
    int nCount = 0;
    std::wstring result;
    size_t from = 0;
    for (size_t pos; (pos = m_str.find(oldText, from)) != std::wstring::npos;
         from = pos + oldText.size()) {
        result.append(m_str, from, pos - from).append(newText);
        ++nCount;
    }
    if (nCount) {
        result.append(m_str, from, std::wstring::npos);
        m_str.swap(result);
    }
    return nCount;
}

int CString::Replace(WCHAR chOld, WCHAR chNew)
{
    int nCount = 0;
    for (WCHAR& ch : m_str)
        if (ch == chOld) {
            ch = chNew;
            ++nCount;
        }
    return nCount;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty()) CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

int CString::Compare(LPCWSTR psz) const
{
    return wcscmp(m_str.c_str(), psz ? psz : L"");
}

BOOL CString::LoadString(UINT nID)
{
    return LoadString(GetModuleHandleW(nullptr), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    // With a zero buffer length LoadStringW hands back a pointer into the resource itself.
    LPCWSTR pRes = nullptr;
    const int n = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&pRes), 0);
    if (n <= 0 || !pRes) {
        Empty();
        return FALSE;
    }
    m_str.assign(pRes, n);
    return TRUE;
}

void CString::Format(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCWSTR pszFormat, va_list args)
{
    std::wstring buf(256, L'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = _vsnwprintf(&buf[0], buf.size(), pszFormat ? pszFormat : L"", copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            buf.resize(n);
            break;
        }
        if (buf.size() > (1u << 24)) {
            buf.clear();
            break;
        }
        buf.resize(buf.size() * 2);
    }
    m_str.swap(buf);
}

LPWSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength()) m_str.resize(nMinLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    m_str.resize(Clamp(nNewLength, GetLength()));
}

BSTR CString::AllocSysString() const
{
    return SysAllocStringLen(m_str.c_str(), static_cast<UINT>(m_str.size()));
}

CString& CString::operator=(LPCWSTR psz)
{
    m_str = psz ? psz : L"";
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(LPCWSTR psz)
{
    m_str += psz ? psz : L"";
    return *this;
}

CString& CString::operator+=(WCHAR ch)
{
    m_str += ch;
    return *this;
}
