// CButtonCommandLineInfo: takes "BUTTON=<n>" from any parameter; the rest goes to the standard
// parser, whose findings the program never acts on.
#pragma once

#include "framework/Afx.h"

class CButtonCommandLineInfo : public CCommandLineInfo
{
public:
    void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast) override;
};
