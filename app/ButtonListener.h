// CButtonListener: the listener for one button id.
#pragma once

#include "app/ButtonListenerBase.h"

class CButtonListener : public CButtonListenerBase
{
public:
    // Subscribes at once; pServer may be null (then the listener stays unsubscribed).
    CButtonListener(IButtonEventServer* pServer, LONG nButtonId);

    LONG GetButtonId() const override { return m_nButtonId; }

    LONG m_nButtonId;
};
