// CCommandLineInfo: what the command-line parser hands each parameter to.
#pragma once

#include "framework/Object.h"

class CCommandLineInfo : public CObject
{
public:
    CCommandLineInfo() = default;

    // Called once per parameter; a leading "/" or "-" has been removed and bFlag set. The program
    // takes no standard parameter: the base keeps nothing.
    virtual void ParseParam(const WCHAR*, BOOL /*bFlag*/, BOOL /*bLast*/) {}
};
