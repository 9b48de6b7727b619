// The settings outside the configuration service: "radi.ini" in the Windows folder (read only)
// and the product's registry values. Every failure reads as empty, 0 or off.
#pragma once

#include "framework/Afx.h"

// "SetLock" under the ZRQBCM key: TRUE only for exactly 1.
BOOL ReadSetLock();
// "ProgramFilesDir"; empty when it cannot be read.
CString GetProgramFilesDir();
// "SystrayatBoot" under the ZRQKVUI key, read into the flag as it stands; a key that cannot be
// opened makes the flag 0, a missing value leaves it.
void ReadSystrayAtBoot(DWORD& dwFlag);
// Writes 1 or 0; a missing key is left alone.
void WriteSystrayAtBoot(BOOL bChecked);
// Whether the ZRQKVUI key can be opened for writing.
BOOL CanWriteSystrayAtBoot();

// The button software's folders and files, below the Program Files folder. The two spell the
// maker's folder differently, as the button software's own programs do.
CString GetIconsFolder();
CString GetTrayProgramPath();

// The tray program, by its window: running, closed (asked to close), started. Whether it started
// is not examined.
BOOL IsTrayProgramRunning();
void CloseTrayProgram();
void StartTrayProgram(const CString& strPath);

// "radi.ini": the icon file of positions 0 to 8 (section "icon", "Key1" to "Key9"), and the
// extensions shown with the browser's icon. Values are cut to 259 characters.
CString ReadIconEntry(int nPosition);
CString ReadSupportedExtensions();
