#include "config/Settings.h"

namespace {

const WCHAR kLockKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM";
const WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
const WCHAR kTrayValue[] = L"SystrayatBoot";
const WCHAR kIniFile[] = L"radi.ini";
const WCHAR kTrayWindow[] = L"Quelda Kivora System Tray Window";

CString ReadIni(LPCWSTR lpszSection, LPCWSTR lpszKey)
{
    WCHAR szValue[260] = {};
    ::GetPrivateProfileStringW(lpszSection, lpszKey, nullptr, szValue, ARRAYSIZE(szValue),
                               kIniFile);
    return szValue;
}

} // namespace

BOOL ReadSetLock()
{
    CRegKey key(HKEY_LOCAL_MACHINE, kLockKey, KEY_READ);
    if (!key) return FALSE;
    DWORD dwValue = 0;
    key.QueryDword(L"SetLock", dwValue);
    return dwValue == 1;
}

CString GetProgramFilesDir()
{
    CRegKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ);
    return key ? key.QueryString(L"ProgramFilesDir", 8192) : CString();
}

void ReadSystrayAtBoot(DWORD& dwFlag)
{
    CRegKey key(HKEY_LOCAL_MACHINE, kTrayKey, KEY_READ);
    if (!key) {
        dwFlag = 0;
        return;
    }
    key.QueryDword(kTrayValue, dwFlag);
}

void WriteSystrayAtBoot(BOOL bChecked)
{
    CRegKey key(HKEY_LOCAL_MACHINE, kTrayKey, KEY_SET_VALUE);
    if (!key) return;
    const DWORD dwValue = bChecked ? 1 : 0;
    ::RegSetValueExW(key, kTrayValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                     sizeof(dwValue));
}

BOOL CanWriteSystrayAtBoot()
{
    return CRegKey(HKEY_LOCAL_MACHINE, kTrayKey, KEY_SET_VALUE) != nullptr;
}

CString GetIconsFolder()
{
    return GetProgramFilesDir() + L"\\QUELDA\\Kivora Button Support\\Icons";
}

CString GetTrayProgramPath()
{
    return GetProgramFilesDir() + L"\\Quelda\\Kivora Button Support\\ZRQKVKSYSTEMTRAY.EXE";
}

BOOL IsTrayProgramRunning()
{
    return ::FindWindowW(nullptr, kTrayWindow) != nullptr;
}

void CloseTrayProgram()
{
    if (const HWND hTray = ::FindWindowW(nullptr, kTrayWindow))
        ::PostMessageW(hTray, WM_CLOSE, 0, 0);
}

void StartTrayProgram(const CString& strPath)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(strPath, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi))
        return;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

CString ReadIconEntry(int nPosition)
{
    CString strKey;
    strKey.Format(L"Key%d", nPosition + 1);
    return ReadIni(L"icon", strKey);
}

CString ReadSupportedExtensions()
{
    return ReadIni(L"Scan Codes", L"Extension Supported");
}
