// CCmdTarget: base of the objects that own a message map.
#pragma once

#include "framework/MessageMap.h"
#include "framework/Object.h"

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
