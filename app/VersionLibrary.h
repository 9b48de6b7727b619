// CVersionLibrary: the button software's version library, loaded for as long as this object
// lives.
#pragma once

#include "framework/Afx.h"

class CVersionLibrary
{
public:
    CVersionLibrary();
    ~CVersionLibrary();
    CVersionLibrary(const CVersionLibrary&) = delete;
    CVersionLibrary& operator=(const CVersionLibrary&) = delete;

    // Empty when the library, its export or the call fails.
    CString GetProductVersion() const;

private:
    typedef BOOL(WINAPI* PFNGETVERSION)(LPWSTR pszVersion); // a buffer of 260 characters

    HMODULE m_hLibrary;
    PFNGETVERSION m_pfnGetVersion = nullptr;
};
