// The settings dialog on a thread of the test's own, shown, for sessions that need no process of
// the program's own. Tests that include this link the dialog's library and its resources.
#pragma once

#include "Session.h"
#include "dialog/ButtonSettingsDlg.h"

class CSettingsDialog : public CDialogOnThread
{
public:
    CSettingsDialog()
        : CDialogOnThread(
              [this] {
                  m_pDlg = new CButtonSettingsDlg;
                  m_pDlg->Create();
                  ::ShowWindow(m_pDlg->m_hWnd, SW_SHOW);
                  return m_pDlg->m_hWnd;
              },
              [this] {
                  delete m_pDlg;
                  m_pDlg = nullptr;
              })
    {
    }

private:
    CButtonSettingsDlg* m_pDlg = nullptr;
};
