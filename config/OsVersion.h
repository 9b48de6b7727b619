// COsVersion: the Windows version, recorded once per process by the first probe made.
#pragma once

#include <windows.h>

class COsVersion
{
public:
    COsVersion();

    // Windows 95 or 98, not Me.
    bool IsWin9xBeforeMe() const;
    // NT 3.x or 4.0.
    bool IsNtBefore2000() const;
};
