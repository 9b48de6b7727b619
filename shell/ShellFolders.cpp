#include "shell/ShellFolders.h"

CString GetFavoritesFolder()
{
    const CRegKey key(HKEY_CURRENT_USER,
                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      KEY_READ);
    return key.QueryString(L"Favorites", 8192);
}

CString MendHelpCentreTarget(const CString& strTarget)
{
    if (strTarget.Find(L"helpctr.exe") < 0) return strTarget;
    const HANDLE hFile =
        ::CreateFileW(strTarget, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(hFile);
        return strTarget;
    }
    WCHAR szWindows[520] = {};
    if (!::GetWindowsDirectoryW(szWindows, ARRAYSIZE(szWindows)))
        return L"C:\\Windows\\Help\\windows.chm";
    return CString(szWindows) + L"\\Help\\windows.chm";
}

CString BrowseFromFavorites(CWnd* pParent)
{
    const HRESULT hrInit = ::CoInitialize(nullptr);
    CFileDialog dlg(TRUE, L"*.url", GetFavoritesFolder() + L"\\*.url",
                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS,
                    L"URL (*.url)|*.url|(*.exe)|*.exe|(*.*)|*.*|(*.xls)|*.xls||", pParent);
    dlg.DoModal();
    POSITION pos = dlg.GetStartPosition();
    const CString strPath = dlg.GetNextPathName(pos);
    if (SUCCEEDED(hrInit)) ::CoUninitialize();
    return strPath;
}
