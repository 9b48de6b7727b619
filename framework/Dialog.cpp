#include "framework/Dialog.h"
#include "framework/WinApp.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && !m_bModal) DestroyWindow();
}

namespace {

// Templates may hold any common control.
void InitControls()
{
    static const INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    static const BOOL bDone = ::InitCommonControlsEx(&icc);
    (void)bDone;
}

} // namespace

// The template's own procedure: it only hands the window to the object, at WM_INITDIALOG.
INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) return FALSE;
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    pDlg->SubclassWindow(hWnd);
    return pDlg->OnInitDialog();
}

INT_PTR CDialog::DoModal()
{
    m_bModal = TRUE;
    InitControls();
    return ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                             m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &AfxDlgProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(CWnd* pParentWnd)
{
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    InitControls();
    return ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &AfxDlgProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
    else
        DestroyWindow();
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
