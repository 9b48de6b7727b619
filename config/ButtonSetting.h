// ButtonSetting: one button's setting in one scheme.
#pragma once

#include "framework/Afx.h"

class ButtonSetting : public CObject
{
public:
    ButtonSetting() = default;
    // Note the order: name first, though title is the first member.
    ButtonSetting(const CString& strName, const CString& strTitle, const CString& strTarget,
                  const CString& strLock)
        : title(strTitle), name(strName), target(strTarget), lock(strLock)
    {
    }

    CString title;  // the assignment as the list shows it
    CString name;   // the button's name
    CString target; // what pressing the button launches
    CString lock;   // "LOCK" or "UNLOCKED"
};
