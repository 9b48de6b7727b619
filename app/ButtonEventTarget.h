// CButtonEventTarget: what receives the button event server's notifications. The program takes
// them and does nothing with them.
#pragma once

#include <windows.h>

class CButtonEventTarget
{
public:
    CButtonEventTarget(const CButtonEventTarget&) = delete;
    CButtonEventTarget& operator=(const CButtonEventTarget&) = delete;
    virtual ~CButtonEventTarget() = default;

    // 0 is success.
    virtual LONG OnNotify1(LONG) { return 0; }
    virtual LONG OnNotify2(LONG) { return 0; }

protected:
    CButtonEventTarget() = default;
};
