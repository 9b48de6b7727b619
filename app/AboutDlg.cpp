#include "app/AboutDlg.h"
#include "app/VersionLibrary.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDBLCLK()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const struct
    {
        int nID;
        UINT nString;
    } texts[] = {{IDOK, IDS_OK},
                 {IDC_ABOUT_PRODUCT, IDS_ABOUT_PRODUCT},
                 {IDC_ABOUT_VERSION, IDS_ABOUT_VERSION},
                 {IDC_ABOUT_COPYRIGHT, IDS_ABOUT_COPYRIGHT}};
    CString strText;
    for (const auto& t : texts) {
        strText.LoadString(t.nString);
        SetDlgItemText(t.nID, strText);
    }
    WCHAR szVersion[260] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, szVersion, ARRAYSIZE(szVersion));
    SetDlgItemText(IDC_ABOUT_VERSION, szVersion + CVersionLibrary().GetProductVersion());
    return TRUE;
}

void CAboutDlg::ShowShellWindows(int nCmdShow)
{
    for (LPCWSTR pszClass : {L"Progman", L"Shell_TrayWnd"}) {
        const HWND hWnd = ::FindWindowW(pszClass, nullptr);
        if (hWnd && ::IsWindow(hWnd)) ::ShowWindow(hWnd, nCmdShow);
    }
}

// Called by OK and Enter. With Ctrl and Shift held it hides or shows the desktop and the taskbar
// and stays open.
void CAboutDlg::OnOK()
{
    if (::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) < 0) {
        m_bShellHidden = !m_bShellHidden;
        ShowShellWindows(m_bShellHidden ? SW_HIDE : SW_SHOW);
        return;
    }
    ShowShellWindows(SW_SHOWNORMAL);
    CDialog::OnOK();
}

// Called by Escape and the system close.
void CAboutDlg::OnCancel()
{
    ShowShellWindows(SW_SHOWNORMAL);
    CDialog::OnCancel();
}

// The whole box is its caption: it moves from any point, and its controls let the hits through.
LRESULT CAboutDlg::OnNcHitTest(POINT)
{
    return HTCAPTION;
}

// Called for a double click anywhere on the box. With Ctrl, Shift and A held it says something
// about what was clicked.
void CAboutDlg::OnNcLButtonDblClk(UINT, POINT point)
{
    Default();
    if (::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_SHIFT) >= 0 || ::GetKeyState('A') >= 0)
        return;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        RECT rc = {};
        ::GetWindowRect(hChild, &rc);
        if (!::PtInRect(&rc, point)) continue;
        LPCWSTR pszText = L"";
        switch (::GetDlgCtrlID(hChild)) {
            case IDC_ABOUT_PRODUCT:
                pszText = L"What R U looking at ???";
                break;
            case IDC_ABOUT_VERSION:
                pszText = L"Remember:\n\nNever Trouble Trouble Till The Trouble Troubles You.";
                break;
            case IDC_ABOUT_ICON:
                pszText = L"Press a button. Any button.";
                break;
            case IDC_ABOUT_COPYRIGHT:
                pszText = L"Made by people who press buttons for a living.";
                break;
        }
        AfxMessageBox(pszText);
        return;
    }
    AfxMessageBox(L"After all is said and done, a hell of a lot more is said than done.");
}
