// The application object: prepares OLE and COM, connects to the button event server, reads the
// command line and hands over to the hidden frame.
#pragma once

#include "app/ButtonEventServer.h"
#include "config/ButtonNumber.h"
#include "framework/Afx.h"
#include "framework/ComPtr.h"

class CButtonConfigApp : public CWinApp, public CButtonNumberSource
{
    DECLARE_DYNAMIC(CButtonConfigApp)

public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Returns the previous number.
    int SetButton(int nButton);
    int GetButton() const override { return m_nButton; }

    CComPtr<IButtonEventServer> m_pButtonServer; // null without the server
    int m_nButton = 201;
};
