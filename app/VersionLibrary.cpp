#include "app/VersionLibrary.h"

#include <cwchar>

CVersionLibrary::CVersionLibrary() : m_hLibrary(::LoadLibraryW(L"ZADAVUD.DLL"))
{
    if (m_hLibrary)
        m_pfnGetVersion = reinterpret_cast<PFNGETVERSION>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(m_hLibrary, "ZADAVUD_GetKVProductVersionString")));
}

CVersionLibrary::~CVersionLibrary()
{
    if (m_hLibrary) ::FreeLibrary(m_hLibrary);
}

CString CVersionLibrary::GetProductVersion() const
{
    CString strVersion;
    if (!m_pfnGetVersion) return strVersion;
    WCHAR szVersion[260] = {};
    // A text that fills the buffer without its terminator ends at the buffer's end.
    if (m_pfnGetVersion(szVersion))
        strVersion = CString(szVersion, static_cast<int>(wcsnlen(szVersion, ARRAYSIZE(szVersion))));
    return strVersion;
}
