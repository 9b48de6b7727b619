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

// "radi.ini": the icon file of positions 0 to 8 (section "icon", "Key1" to "Key9"), and the
// extensions shown with the browser's icon. Values are cut to 259 characters.
CString ReadIconEntry(int nPosition);
CString ReadSupportedExtensions();
