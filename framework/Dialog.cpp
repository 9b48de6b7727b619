#include "framework/Dialog.h"
#include "framework/WinApp.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

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

namespace {

// The dialog's template as the resources hold it or, while the process lays its windows out right
// to left, a copy of it marked to be mirrored: a dialog with an owner does not take the process's
// layout by itself.
class CDialogTemplate
{
public:
    explicit CDialogTemplate(UINT nIDTemplate)
    {
        const HINSTANCE hInstance = AfxGetInstanceHandle();
        const HRSRC hResource =
            ::FindResourceW(hInstance, MAKEINTRESOURCEW(nIDTemplate), RT_DIALOG);
        if (!hResource) return;
        m_pTemplate =
            static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(hInstance, hResource)));
        DWORD dwLayout = 0;
        const DWORD cb = ::SizeofResource(hInstance, hResource);
        if (!m_pTemplate || cb < 16 || !::GetProcessDefaultLayout(&dwLayout) ||
            !(dwLayout & LAYOUT_RTL))
            return;
        const BYTE* pBytes = reinterpret_cast<const BYTE*>(m_pTemplate);
        m_copy.assign(pBytes, pBytes + cb);
        // An extended template (version 1, signature 0xFFFF) keeps its extended style after its
        // help id; the plain one right after its style.
        const bool bExtended = reinterpret_cast<const WORD*>(pBytes)[1] == 0xFFFF;
        DWORD dwExStyle = 0;
        memcpy(&dwExStyle, &m_copy[bExtended ? 8 : 4], sizeof(dwExStyle));
        dwExStyle |= WS_EX_LAYOUTRTL;
        memcpy(&m_copy[bExtended ? 8 : 4], &dwExStyle, sizeof(dwExStyle));
        m_pTemplate = reinterpret_cast<const DLGTEMPLATE*>(m_copy.data());
    }
    const DLGTEMPLATE* Get() const { return m_pTemplate; }

private:
    const DLGTEMPLATE* m_pTemplate = nullptr;
    std::vector<BYTE> m_copy;
};

} // namespace

INT_PTR CDialog::DoModal()
{
    m_bModal = TRUE;
    InitControls();
    const CDialogTemplate dialog(m_nIDTemplate);
    if (!dialog.Get()) return -1;
    return ::DialogBoxIndirectParamW(AfxGetInstanceHandle(), dialog.Get(),
                                     m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &AfxDlgProc,
                                     reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(CWnd* pParentWnd)
{
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    InitControls();
    const CDialogTemplate dialog(m_nIDTemplate);
    return dialog.Get() &&
           ::CreateDialogIndirectParamW(AfxGetInstanceHandle(), dialog.Get(),
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
