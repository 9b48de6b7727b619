// The popup of predefined assignments beside the assignment edit: which command sits at which
// place in the layout the default set calls for, and which label each command assigns.
#pragma once

#include "config/ButtonTable.h"
#include "config/OsVersion.h"

// Gives the menu's first items the commands and labels of the layout, and its "Browse..." item
// its text; the volume functions leave a system that lacks them.
void PrepareAssignmentMenu(HMENU hPopup, const CButtonLayout& layout, const CButtonLabels& labels,
                           const COsVersion& osVersion);
// The label a predefined command assigns; 0 for "Browse...", which picks a file instead.
UINT AssignmentLabel(UINT nCommand);
