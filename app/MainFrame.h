// The hidden main frame: carries the message loop's main window, keeps a second copy from
// running and runs the configuration flow from its start message.
#pragma once

#include "app/ButtonListener.h"
#include "config/OsVersion.h"
#include "framework/Afx.h"

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    CMainFrame();

    // One listener per button id the server reports; empty outside the flow.
    void AttachListeners();
    void DetachListeners();

    COwningPtrArray<CButtonListener> m_listeners;
    COsVersion m_osVersion;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnQueryEndSession();
    LRESULT OnPowerBroadcast(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    LRESULT OnStart(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
