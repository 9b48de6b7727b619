// The version library stand-in: one export that writes the product version, taken from this
// DLL's own version resource, into a caller's buffer of 260 characters.
//
// For tests it can answer otherwise, switched in HKCU\Software\Kivora Stand-ins\Version Library:
//   "Version"  REG_SZ     this text instead; one of 260 characters or more fills the buffer
//                         without a terminator, as a careless library would
//   "Fail"     REG_DWORD  non-zero: the call returns 0, leaving part of a text behind
#include <windows.h>

#include <algorithm>

namespace {

const WCHAR kSwitchesKey[] = L"Software\\Kivora Stand-ins\\Version Library";
const int kBufferChars = 260;

HMODULE g_module = nullptr;

// The resource's "ProductVersion" of its first language.
bool ReadOwnProductVersion(LPWSTR pszVersion)
{
    WCHAR szPath[MAX_PATH] = {};
    if (!GetModuleFileNameW(g_module, szPath, MAX_PATH)) return false;
    DWORD dwHandle = 0;
    const DWORD cb = GetFileVersionInfoSizeW(szPath, &dwHandle);
    if (!cb) return false;
    // From the heap, not new: the library needs nothing of the C++ runtime.
    auto* pInfo = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, cb));
    if (!pInfo) return false;
    bool bRead = false;
    struct Translation
    {
        WORD wLanguage, wCodePage;
    }* pTranslation = nullptr;
    UINT cbValue = 0;
    if (GetFileVersionInfoW(szPath, 0, cb, pInfo) &&
        VerQueryValueW(pInfo, L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&pTranslation), &cbValue) &&
        cbValue >= sizeof(Translation)) {
        WCHAR szQuery[64] = {};
        wsprintfW(szQuery, L"\\StringFileInfo\\%04x%04x\\ProductVersion", pTranslation->wLanguage,
                  pTranslation->wCodePage);
        LPWSTR pszValue = nullptr;
        if (VerQueryValueW(pInfo, szQuery, reinterpret_cast<void**>(&pszValue), &cbValue) &&
            pszValue) {
            lstrcpynW(pszVersion, pszValue, kBufferChars);
            bRead = true;
        }
    }
    HeapFree(GetProcessHeap(), 0, pInfo);
    return bRead;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) g_module = hInstance;
    return TRUE;
}

extern "C" BOOL WINAPI ZADAVUD_GetKVProductVersionString(LPWSTR pszVersion)
{
    if (!pszVersion) return FALSE;
    DWORD dwFail = 0, cb = sizeof(dwFail);
    if (RegGetValueW(HKEY_CURRENT_USER, kSwitchesKey, L"Fail", RRF_RT_REG_DWORD, nullptr, &dwFail,
                     &cb) == ERROR_SUCCESS &&
        dwFail) {
        // A failing call may leave part of a text behind.
        lstrcpynW(pszVersion, L"5.2", kBufferChars);
        return FALSE;
    }
    WCHAR szText[1024] = {};
    cb = sizeof(szText);
    if (RegGetValueW(HKEY_CURRENT_USER, kSwitchesKey, L"Version", RRF_RT_REG_SZ, nullptr, szText,
                     &cb) == ERROR_SUCCESS) {
        CopyMemory(pszVersion, szText,
                   std::min(lstrlenW(szText) + 1, kBufferChars) * sizeof(WCHAR));
        return TRUE;
    }
    return ReadOwnProductVersion(pszVersion);
}
