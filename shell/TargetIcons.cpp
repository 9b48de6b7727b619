#include "shell/TargetIcons.h"
#include "shell/MailClient.h"
#include "res/Vocabulary.h"

#include <shellapi.h>

#include <map>
#include <string>

namespace {

const int kImageCount = 30;

// Icons already made in this run, each kept once and lent out: the program's own by id, and the
// shell's by the full path of the file asked about, with that file's state when it was asked (a
// file replaced, deleted or created since is asked about again).
struct CCachedIcon
{
    CCachedIcon() = default;
    CCachedIcon(const CCachedIcon&) = delete;
    CCachedIcon& operator=(const CCachedIcon&) = delete;
    ~CCachedIcon()
    {
        if (hIcon) ::DestroyIcon(hIcon);
    }

    HICON hIcon = nullptr;
    WIN32_FILE_ATTRIBUTE_DATA state = {}; // all zero for a file that is not there
    WCHAR szSource[MAX_PATH] = {};        // the file the shell took the icon from
};

std::map<std::wstring, CCachedIcon>& IconCache()
{
    static std::map<std::wstring, CCachedIcon> cache;
    return cache;
}

// The same file for the cache: there or not as before, of the same size, written at the same time.
bool SameFile(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return a.dwFileAttributes == b.dwFileAttributes && a.nFileSizeLow == b.nFileSizeLow &&
           a.nFileSizeHigh == b.nFileSizeHigh &&
           ::CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

HICON CopyOf(HICON hIcon)
{
    return hIcon ? ::CopyIcon(hIcon) : nullptr;
}

// The program's own icons are small images of the list. Lent: the cache keeps it.
HICON LoadProgramIcon(UINT nID)
{
    CCachedIcon& cached = IconCache()[L"#" + std::to_wstring(nID)];
    if (!cached.hIcon)
        cached.hIcon = static_cast<HICON>(::LoadImageW(
            AfxGetInstanceHandle(), MAKEINTRESOURCEW(nID), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    return cached.hIcon;
}

bool FileExists(LPCWSTR lpszPath)
{
    WIN32_FIND_DATAW data;
    const HANDLE hFind = ::FindFirstFileW(lpszPath, &data);
    if (hFind == INVALID_HANDLE_VALUE) return false;
    ::FindClose(hFind);
    return true;
}

// The icon the shell associates with the file, lent; lpszPath (MAX_PATH characters) receives the
// file it came from.
HICON ExtractIcon(LPWSTR lpszPath)
{
    WCHAR szFull[MAX_PATH] = {};
    const DWORD cchFull = ::GetFullPathNameW(lpszPath, MAX_PATH, szFull, nullptr);
    if (cchFull == 0 || cchFull >= MAX_PATH) lstrcpynW(szFull, lpszPath, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA state = {};
    if (!::GetFileAttributesExW(szFull, GetFileExInfoStandard, &state)) state = {};
    CharUpperW(szFull);
    CCachedIcon& cached = IconCache()[szFull];
    if (!cached.szSource[0] || !SameFile(cached.state, state)) {
        if (cached.hIcon) ::DestroyIcon(cached.hIcon);
        lstrcpynW(cached.szSource, lpszPath, MAX_PATH);
        WORD wIndex = 0;
        cached.hIcon = ::ExtractAssociatedIconW(AfxGetInstanceHandle(), cached.szSource, &wIndex);
        cached.state = state;
    }
    lstrcpynW(lpszPath, cached.szSource, MAX_PATH);
    return cached.hIcon;
}

void ReplaceImage(HIMAGELIST hImages, int nImage, HICON hIcon)
{
    if (hIcon) ImageList_ReplaceIcon(hImages, nImage, hIcon);
}

// GetTargetIcon's icon, lent.
HICON TargetIcon(const CString& strPath, const CString& strBrowserPath)
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
    return LoadProgramIcon(kIconUnknown);
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
    return CopyOf(TargetIcon(strPath, strBrowserPath));
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
        hTargetIcon = TargetIcon(strPath, context.strBrowserPath);
    }
    ImageList_SetImageCount(hImages, kImageCount);
    ReplaceImage(hImages, nTargetImage, hTargetIcon);
}

void ForgetIcons()
{
    IconCache().clear();
}
