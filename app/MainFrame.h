// The hidden main frame: carries the message loop's main window and posts the start message.
#pragma once

#include "framework/Afx.h"

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    CMainFrame();

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnStart(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
