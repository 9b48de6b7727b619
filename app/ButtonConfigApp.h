// The application object: prepares OLE and the profile, then hands over to the hidden frame.
#pragma once

#include "framework/Afx.h"

class CButtonConfigApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};
