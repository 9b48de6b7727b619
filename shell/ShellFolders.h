// Where the shell keeps the user's things, and targets that name a part of Windows that is gone.
#pragma once

#include "framework/Afx.h"

// The user's Favorites folder as the shell lists it; empty when it cannot be read.
CString GetFavoritesFolder();
// The file-open dialog on the Favorites folder, for a button's target: the path chosen, or the
// pattern it started with when nothing was. COM is started for the shell's part in it.
CString BrowseFromFavorites(CWnd* pParent);
// A help centre target whose file is not there gives way to the Windows help file.
CString MendHelpCentreTarget(const CString& strTarget);
