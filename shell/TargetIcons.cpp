#include "shell/TargetIcons.h"
#include "shell/MailClient.h"
#include "res/Vocabulary.h"

#include <shellapi.h>

namespace {

const int kImageCount = 30;

// The program's own icons are small images of the list.
HICON LoadProgramIcon(UINT nID)
{
    return static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nID),
                                           IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

bool FileExists(LPCWSTR lpszPath)
{
    WIN32_FIND_DATAW data;
    const HANDLE hFind = ::FindFirstFileW(lpszPath, &data);
    if (hFind == INVALID_HANDLE_VALUE) return false;
    ::FindClose(hFind);
    return true;
}

// The icon the shell associates with the file; lpszPath receives the file it came from.
HICON ExtractIcon(LPWSTR lpszPath)
{
    WORD wIndex = 0;
    return ::ExtractAssociatedIconW(AfxGetInstanceHandle(), lpszPath, &wIndex);
}

void ReplaceImage(HIMAGELIST hImages, int nImage, HICON hIcon)
{
    if (!hIcon) return;
    ImageList_ReplaceIcon(hImages, nImage, hIcon);
    ::DestroyIcon(hIcon);
}

} // namespace

CString ReadMachineString(const CString& strSubKey, LPCWSTR lpszValue)
{
    CRegKey key(HKEY_LOCAL_MACHINE, strSubKey, KEY_READ);
    if (!key) return CString();
    WCHAR szValue[MAX_PATH] = {};
    DWORD cb = sizeof(szValue);
    if (::RegQueryValueExW(key, lpszValue && *lpszValue ? lpszValue : nullptr, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(szValue), &cb) != ERROR_SUCCESS)
        return CString();
    szValue[MAX_PATH - 1] = L'\0';
    return szValue;
}

CString GetBrowserCommand()
{
    const CString strClass = ReadMachineString(L"Software\\Classes\\.html", L"");
    const CString strCommand =
        ReadMachineString(L"Software\\Classes\\" + strClass + L"\\shell\\open\\command", L"");
    return strCommand.Left(strCommand.Find(L".exe", 1) + 5);
}

CString ExtractProgramPath(CString strCommand)
{
    strCommand.MakeUpper();
    const int nExe = strCommand.Find(L".EXE");
    if (nExe < 0) return strCommand;
    strCommand = strCommand.Left(nExe + 4);
    const int nBlank = strCommand.Find(L' ');
    if (nBlank > 0) {
        if (strCommand[0] == L'"') return strCommand + L'"';
        return L'"' + strCommand + L'"';
    }
    if (strCommand[0] == L'"') return strCommand.Mid(1);
    return strCommand;
}

CString GetAssociatedProgram(const CString& strExtension)
{
    const CString strClass = ReadMachineString(L"Software\\Classes\\" + strExtension, L"");
    return ExtractProgramPath(
        ReadMachineString(L"Software\\Classes\\" + strClass + L"\\Shell\\Open\\Command", L""));
}

CString ExpandEnvironmentTokens(CString strText, const CString& strBrowserPath)
{
    // A value that names its own token would grow the text for ever: a few rounds are plenty.
    for (int nFirst, nRound = 0; nRound < 64 && (nFirst = strText.Find(L'%')) >= 0; nRound++) {
        const int nSecond = strText.Find(L'%', nFirst + 1);
        if (nSecond < 0) break;
        const CString strToken = strText.Mid(nFirst, nSecond - nFirst + 1);
        WCHAR szValue[20] = {};
        const DWORD n = ::ExpandEnvironmentStringsW(strToken, szValue, ARRAYSIZE(szValue));
        const CString strValue = n > 0 && n <= ARRAYSIZE(szValue) ? szValue : L"";
        if (strValue.IsEmpty()) {
            // Too long or empty: the folder the browser lives in stands for it.
            const int nFirstSlash = strBrowserPath.Find(L'\\');
            const int nSecondSlash =
                nFirstSlash < 0 ? -1 : strBrowserPath.Find(L'\\', nFirstSlash + 1);
            strText.Replace(strToken,
                            nSecondSlash < 0 ? CString() : strBrowserPath.Left(nSecondSlash));
            break;
        }
        if (strValue == strToken) break; // not defined
        strText.Replace(strToken, strValue);
    }
    return strText;
}

CString GetIconSourcePath(const CString& strTarget, const CIconContext& context)
{
    CString strUpper = strTarget;
    strUpper.MakeUpper();
    const int nDot = strUpper.ReverseFind(L'.');
    CString strExtension = nDot < 0 ? strUpper : strUpper.Mid(nDot);
    if (strExtension.Find(L'"') >= 0) strExtension = strExtension.Left(4);
    CString strListed = context.strSupportedExtensions;
    strListed.MakeUpper();

    // Substring searches all: a folder named HTTP... counts as a website.
    if (strListed.Find(strExtension) >= 0 || strUpper.Find(L"HTTP") >= 0 ||
        strUpper.Find(L"WWW.") >= 0)
        return ExpandEnvironmentTokens(context.strBrowserPath, context.strBrowserPath);
    if (strUpper.Find(L".LNK") >= 0 || strUpper.Find(L".URL") >= 0 || strUpper.Find(L".PIF") >= 0)
        return strUpper;
    if (strUpper.Find(L".EXE") >= 0)
        return ExpandEnvironmentTokens(strUpper, context.strBrowserPath);

    CString strProgram = GetAssociatedProgram(strExtension);
    const bool bQuoted = strProgram.Right(1) == L"\"";
    strProgram = strProgram.Left(strProgram.ReverseFind(L'.') + 4);
    if (bQuoted) strProgram = strProgram.Mid(1);
    return ExpandEnvironmentTokens(strProgram, context.strBrowserPath);
}

HICON GetTargetIcon(const CString& strPath, const CString& strBrowserPath)
{
    if (strPath.IsEmpty()) return nullptr;
    WCHAR szSource[MAX_PATH] = {};
    CString strTail = strPath.Right(5);
    const bool bInternetShortcut = strTail.MakeUpper().Find(L".URL") >= 0;
    lstrcpynW(szSource, bInternetShortcut ? strBrowserPath : strPath, MAX_PATH);
    HICON hIcon = ExtractIcon(szSource);
    CString strSource(szSource);
    // Only a generic icon of the shell: the program's own "unknown" icon says it better.
    const bool bGeneric = strSource.MakeUpper().Find(L"SHELL32.DLL") >= 0;
    if (hIcon && !bGeneric && (bInternetShortcut || FileExists(strPath))) return hIcon;
    if (hIcon) ::DestroyIcon(hIcon);
    return LoadProgramIcon(kIconUnknown);
}

void UpdateButtonIcons(HIMAGELIST hImages, const CString& strIconsDir, const CString& strEntry,
                       UINT nDefaultIcon, int nButtonImage, const CString& strTarget,
                       int nTargetImage, const CIconContext& context)
{
    ImageList_SetImageCount(hImages, kImageCount);
    ::SetCurrentDirectoryW(strIconsDir);
    HICON hButtonIcon = nullptr;
    if (!strEntry.IsEmpty() && FileExists(strEntry)) {
        WCHAR szEntry[MAX_PATH] = {};
        lstrcpynW(szEntry, strEntry, MAX_PATH);
        hButtonIcon = ExtractIcon(szEntry);
    } else {
        hButtonIcon = LoadProgramIcon(nDefaultIcon);
    }
    ReplaceImage(hImages, nButtonImage, hButtonIcon);

    HICON hTargetIcon = nullptr;
    if (strTarget == kTargetVolumeUp || strTarget == kTargetVolumeDown) {
        hTargetIcon = LoadProgramIcon(kIconVolume);
    } else if (strTarget == kTargetVolumeMute) {
        hTargetIcon = LoadProgramIcon(kIconMute);
    } else {
        CString strPath = GetIconSourcePath(
            strTarget == kTargetMail ? GetDefaultMailCommand() : strTarget, context);
        // A quoted program followed by its arguments: the program alone.
        strPath.MakeUpper();
        const int nQuote = strPath.Find(L'"', 2);
        if (strPath.Find(L".EXE") >= 0 && nQuote >= 2) strPath = strPath.Mid(1, nQuote - 1);
        hTargetIcon = GetTargetIcon(strPath, context.strBrowserPath);
    }
    ImageList_SetImageCount(hImages, kImageCount);
    ReplaceImage(hImages, nTargetImage, hTargetIcon);
}
