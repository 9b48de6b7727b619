// CAboutDlg: the About box, with the product's name, version and copyright. It moves when dragged
// anywhere, and keeps two behaviours for those who know the keys.
#pragma once

#include "framework/Afx.h"
#include "res/resource.h"

class CAboutDlg : public CDialog
{
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();

    BOOL m_bShellHidden = FALSE; // the desktop and the taskbar are hidden

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT OnNcHitTest(POINT point);
    void OnNcLButtonDblClk(UINT nHitTest, POINT point);

    DECLARE_MESSAGE_MAP()

private:
    // The desktop's and the taskbar's windows, where they exist.
    static void ShowShellWindows(int nCmdShow);
};
