// CDialog: a dialog from a template, modal (DoModal) or modeless (Create), with data exchange.
// The dialog's window is routed through the message map from WM_INITDIALOG on.
#pragma once

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; the result EndDialog was given, or -1 when it could not
    // be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (tests drive it with real messages); it goes with the object.
    BOOL Create(CWnd* pParentWnd = nullptr);

    // Called when the dialog's window exists, before it is shown; TRUE lets the system set the
    // focus.
    virtual BOOL OnInitDialog();
    // Called when the OK button or Enter key is pressed.
    virtual void OnOK();
    // Called when the Cancel button, Esc or the close box is pressed.
    virtual void OnCancel();
    void EndDialog(int nResult);

    // TRUE: controls to members; FALSE: members to controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange*) {}

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bModal = FALSE;
};
