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
    ~CCachedIcon() { Reset(nullptr); }

    void Reset(HICON hNewIcon)
    {
        if (hIcon) ::DestroyIcon(hIcon);
        hIcon = hNewIcon;
        ForgetFitted();
    }

    // Puts the icon into the image list as ImageList_ReplaceIcon does: fitted to the list's size
    // with CopyImage, then added with its mask. The fitted bitmaps are kept, so that putting the
    // icon again is a copy of them rather than the fitting and drawing done anew.
    void PutInto(HIMAGELIST hImages, int nImage)
    {
        if (!hIcon) return;
        int cx = 0, cy = 0;
        ImageList_GetIconSize(hImages, &cx, &cy);
        if (cx != fitted.cx || cy != fitted.cy) Fit({cx, cy});
        if (hbmImage)
            ImageList_Replace(hImages, nImage, hbmImage, hbmMask);
        else
            ImageList_ReplaceIcon(hImages, nImage, hIcon);
    }

    HICON hIcon = nullptr;
    WIN32_FILE_ATTRIBUTE_DATA state = {}; // all zero for a file that is not there
    WCHAR szSource[MAX_PATH] = {};        // the file the shell took the icon from

private:
    void ForgetFitted()
    {
        for (HBITMAP hbm : {hbmImage, hbmMask})
            if (hbm) ::DeleteObject(hbm);
        hbmImage = hbmMask = nullptr;
        fitted = {};
    }
    // Only full-colour images are kept: those the list takes the same way whether they come as an
    // icon or as bitmaps.
    void Fit(SIZE size)
    {
        ForgetFitted();
        fitted = size;
        ICONINFO info = {};
        HICON hFitted = static_cast<HICON>(
            ::CopyImage(hIcon, IMAGE_ICON, size.cx, size.cy, LR_COPYFROMRESOURCE));
        if (!hFitted || !::GetIconInfo(hFitted, &info)) info = {};
        BITMAP bm = {};
        if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof(bm), &bm) && bm.bmBitsPixel == 32) {
            hbmImage = info.hbmColor;
            hbmMask = info.hbmMask;
        } else {
            for (HBITMAP hbm : {info.hbmColor, info.hbmMask})
                if (hbm) ::DeleteObject(hbm);
        }
        if (hFitted) ::DestroyIcon(hFitted);
    }

    SIZE fitted = {};
    HBITMAP hbmImage = nullptr, hbmMask = nullptr;
};

// The list at its 30 images. (Setting the count it already has would copy every image.)
void KeepImageCount(HIMAGELIST hImages)
{
    if (ImageList_GetImageCount(hImages) != kImageCount)
        ImageList_SetImageCount(hImages, kImageCount);
}

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

// The program's own icons are small images of the list.
CCachedIcon& LoadProgramIcon(UINT nID)
{
    CCachedIcon& cached = IconCache()[L"#" + std::to_wstring(nID)];
    if (!cached.hIcon)
        cached.Reset(static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nID),
                                                     IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    return cached;
}

// Whether a search for the path finds anything (wildcards included). A plain path that names
// a file or a folder is found without the search, which reads its whole folder; roots, UNC
// shares and paths ending in a separator are left to the search, which does not find them.
bool FileExists(LPCWSTR lpszPath)
{
    const size_t cch = wcslen(lpszPath);
    if (cch > 3 && !wcspbrk(lpszPath, L"*?") && wcsncmp(lpszPath, L"\\\\", 2) != 0 &&
        !wcschr(L"\\/:", lpszPath[cch - 1]) &&
        ::GetFileAttributesW(lpszPath) != INVALID_FILE_ATTRIBUTES)
        return true;
    WIN32_FIND_DATAW data;
    const HANDLE hFind = ::FindFirstFileW(lpszPath, &data);
    if (hFind == INVALID_HANDLE_VALUE) return false;
    ::FindClose(hFind);
    return true;
}

// The icon the shell associates with the file; lpszPath (MAX_PATH characters) receives the file
// it came from.
CCachedIcon& ExtractIcon(LPWSTR lpszPath)
{
    WCHAR szFull[MAX_PATH] = {};
    const DWORD cchFull = ::GetFullPathNameW(lpszPath, MAX_PATH, szFull, nullptr);
    if (cchFull == 0 || cchFull >= MAX_PATH) lstrcpynW(szFull, lpszPath, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA state = {};
    if (!::GetFileAttributesExW(szFull, GetFileExInfoStandard, &state)) state = {};
    CharUpperW(szFull);
    CCachedIcon& cached = IconCache()[szFull];
    if (!cached.szSource[0] || !SameFile(cached.state, state)) {
        lstrcpynW(cached.szSource, lpszPath, MAX_PATH);
        WORD wIndex = 0;
        cached.Reset(::ExtractAssociatedIconW(AfxGetInstanceHandle(), cached.szSource, &wIndex));
        cached.state = state;
    }
    lstrcpynW(lpszPath, cached.szSource, MAX_PATH);
    return cached;
}

// GetTargetIcon's icon; null for an empty path.
CCachedIcon* TargetIcon(const CString& strPath, const CString& strBrowserPath)
{
    if (strPath.IsEmpty()) return nullptr;
    WCHAR szSource[MAX_PATH] = {};
    CString strTail = strPath.Right(5);
    const bool bInternetShortcut = strTail.MakeUpper().Find(L".URL") >= 0;
    lstrcpynW(szSource, bInternetShortcut ? strBrowserPath : strPath, MAX_PATH);
    CCachedIcon& icon = ExtractIcon(szSource);
    CString strSource(szSource);
    // Only a generic icon of the shell: the program's own "unknown" icon says it better.
    const bool bGeneric = strSource.MakeUpper().Find(L"SHELL32.DLL") >= 0;
    if (icon.hIcon && !bGeneric && (bInternetShortcut || FileExists(strPath))) return &icon;
    return &LoadProgramIcon(kIconUnknown);
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
    const CCachedIcon* pIcon = TargetIcon(strPath, strBrowserPath);
    return pIcon && pIcon->hIcon ? ::CopyIcon(pIcon->hIcon) : nullptr;
}

void UpdateButtonIcons(HIMAGELIST hImages, const CString& strIconsDir, const CString& strEntry,
                       UINT nDefaultIcon, int nButtonImage, const CString& strTarget,
                       int nTargetImage, const CIconContext& context)
{
    KeepImageCount(hImages);
    // Set only when it is not already current: setting it opens the folder every time.
    WCHAR szCurrent[MAX_PATH] = {};
    if (::GetCurrentDirectoryW(MAX_PATH, szCurrent) >= MAX_PATH ||
        ::lstrcmpiW(strIconsDir, szCurrent) != 0)
        ::SetCurrentDirectoryW(strIconsDir);
    if (!strEntry.IsEmpty() && FileExists(strEntry)) {
        WCHAR szEntry[MAX_PATH] = {};
        lstrcpynW(szEntry, strEntry, MAX_PATH);
        ExtractIcon(szEntry).PutInto(hImages, nButtonImage);
    } else {
        LoadProgramIcon(nDefaultIcon).PutInto(hImages, nButtonImage);
    }

    CCachedIcon* pTargetIcon = nullptr;
    if (strTarget == kTargetVolumeUp || strTarget == kTargetVolumeDown) {
        pTargetIcon = &LoadProgramIcon(kIconVolume);
    } else if (strTarget == kTargetVolumeMute) {
        pTargetIcon = &LoadProgramIcon(kIconMute);
    } else {
        CString strPath = GetIconSourcePath(
            strTarget == kTargetMail ? GetDefaultMailCommand() : strTarget, context);
        // A quoted program followed by its arguments: the program alone.
        strPath.MakeUpper();
        const int nQuote = strPath.Find(L'"', 2);
        if (strPath.Find(L".EXE") >= 0 && nQuote >= 2) strPath = strPath.Mid(1, nQuote - 1);
        pTargetIcon = TargetIcon(strPath, context.strBrowserPath);
    }
    KeepImageCount(hImages);
    if (pTargetIcon) pTargetIcon->PutInto(hImages, nTargetImage);
}

void ForgetIcons()
{
    IconCache().clear();
}
