#include "framework/DataExchange.h"
#include "framework/Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd) rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    const HWND hCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    CString strShown;
    const int n = ::GetWindowTextLengthW(hCtrl);
    strShown.ReleaseBuffer(::GetWindowTextW(hCtrl, strShown.GetBuffer(n + 1), n + 1));
    if (pDX->m_bSaveAndValidate)
        value = strShown;
    else if (strShown != value) // the same text set again would only flicker and move the caret
        ::SetWindowTextW(hCtrl, value);
}
