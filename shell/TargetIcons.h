// Which icon stands for a button's target: the browser's for a website, the shortcut's own, the
// program's own, or the program a document's extension is associated with; and the two images
// of each button in the list's image list.
#pragma once

#include "framework/Afx.h"

// What the classification reads: the browser path of the ".html" association and the extensions
// "radi.ini" says are shown with the browser's icon.
struct CIconContext
{
    CString strBrowserPath;
    CString strSupportedExtensions;
};

// A string value under HKEY_LOCAL_MACHINE (empty value name: the default), read in 260
// characters whatever its type; empty on any failure.
CString ReadMachineString(const CString& strSubKey, LPCWSTR lpszValue);
// The program of the ".html" association with its ".exe" and one character more.
CString GetBrowserCommand();
// The program of a command line, upper-cased, in quotes when it holds a blank.
CString ExtractProgramPath(CString strCommand);
CString GetAssociatedProgram(const CString& strExtension);
// "%NAME%" tokens replaced by their values (each value in at most 19 characters).
CString ExpandEnvironmentTokens(CString strText, const CString& strBrowserPath);
// The file whose icon represents the target.
CString GetIconSourcePath(const CString& strTarget, const CIconContext& context);
// The icon of that file, icon 165 where the shell has only a generic one; null for an empty path.
// Icons of files unchanged since they were last asked about come from memory.
HICON GetTargetIcon(const CString& strPath, const CString& strBrowserPath);

// Puts button nButton's own icon (the file strEntry names in the icons folder, else the program's
// icon nDefaultIcon) at nButtonImage and its target's icon at nTargetImage. The icons folder stays
// the current directory.
void UpdateButtonIcons(HIMAGELIST hImages, const CString& strIconsDir, const CString& strEntry,
                       UINT nDefaultIcon, int nButtonImage, const CString& strTarget,
                       int nTargetImage, const CIconContext& context);
// Forgets the icons kept from earlier calls, for a measurement of the work without them.
void ForgetIcons();
