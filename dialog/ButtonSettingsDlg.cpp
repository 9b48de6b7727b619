#include "dialog/ButtonSettingsDlg.h"
#include "dialog/AssignmentMenu.h"
#include "config/Schemes.h"
#include "config/Settings.h"
#include "shell/ShellFolders.h"
#include "shell/TargetIcons.h"

BEGIN_MESSAGE_MAP(CButtonSettingsDlg, CDialog)
    ON_NOTIFY(NM_CLICK, IDC_BUTTON_LIST, OnListClick)
    ON_NOTIFY(LVN_KEYDOWN, IDC_BUTTON_LIST, OnListKeyDown)
    ON_NOTIFY(NM_KILLFOCUS, IDC_BUTTON_LIST, OnListKillFocus)
    ON_EN_KILLFOCUS(IDC_EDIT_NAME, CommitName)
    ON_EN_KILLFOCUS(IDC_EDIT_TITLE, CommitEdits)
    ON_EN_SETFOCUS(IDC_EDIT_NAME, OnNameSetFocus)
    ON_EN_SETFOCUS(IDC_EDIT_TITLE, OnTitleSetFocus)
    ON_BN_CLICKED(IDC_APPLY, OnApply)
    ON_BN_CLICKED(IDC_OK_BUTTON, OnOkButton)
    ON_BN_CLICKED(IDC_CANCEL_BUTTON, OnCancel)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelpButton)
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_BROWSE, ShowAssignmentMenu)
    ON_CBN_SELCHANGE(IDC_SCHEME_BOX, OnSchemeSelChange)
    ON_BN_CLICKED(IDC_ADD_SCHEME, OnSchemeAdd)
    ON_BN_CLICKED(IDC_DELETE_SCHEME, OnSchemeDelete)
    ON_COMMAND(ID_ASSIGN_BROWSE, OnFileBrowse) // ahead of the range that holds it
    ON_COMMAND_RANGE(ID_ASSIGN_INFORMATION, ID_ASSIGN_COMMUNITY, OnAssignCommand)
    ON_WM_CLOSE()
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

namespace {

const WCHAR kTooManyButtons[] = L"Initialization file has too many buttons in button list";

} // namespace

CButtonSettingsDlg::CButtonSettingsDlg(CWnd* pParentWnd)
    : CDialog(IDD, pParentWnd),
      // The window does not exist yet, so nothing is detached; the closing handlers give the
      // kept context back.
      m_hSavedIMC(::ImmAssociateContext(nullptr, nullptr)),
      m_hIcon(::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_bSetLock(ReadSetLock())
{
    m_strActiveScheme = ReadCurrentScheme();
    m_strMakerSchemeText.LoadString(IDS_MAKER_SCHEME);
}

void CButtonSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TRAY_CHECK, m_chkTray);
    DDX_Control(pDX, IDC_APPLY, m_btnApply);
    DDX_Control(pDX, IDC_SCHEME_BOX, m_cbScheme);
    DDX_Control(pDX, IDC_BUTTON_LIST, m_lstButtons);
    DDX_Control(pDX, IDC_EDIT_TITLE, m_edtTitle);
    DDX_Text(pDX, IDC_EDIT_TITLE, m_strEditTitle);
    DDX_Text(pDX, IDC_EDIT_NAME, m_strEditName);
}

// Called when the dialog's window exists, before the user sees it: loads everything it shows.
BOOL CButtonSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    CString strText;
    strText.LoadString(IDS_SHOW_TRAY_ICON);
    SetDlgItemText(IDC_TRAY_CHECK, strText);

    ReadSystrayAtBoot(m_bTrayAtBoot);
    m_chkTray.SetCheck(m_bTrayAtBoot == 1 ? BST_CHECKED : BST_UNCHECKED);

    m_pLargeImages = std::make_unique<CImageList>();
    m_pLargeImages->Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 4);
    m_pSmallImages = std::make_unique<CImageList>();
    m_pSmallImages->Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 24);

    LoadButtonTable();
    SetDialogTexts();
    m_edtTitle.RegisterDropTarget();
    FillSchemeBox();
    LoadCurrentSet();
    RefreshButtonIcons();
    RECT rc = {};
    m_lstButtons.GetWindowRect(&rc);
    const int nWidth = rc.right - rc.left;
    CString strColumn;
    strColumn.LoadString(IDS_BUTTON_NAME);
    m_lstButtons.InsertColumn(0, strColumn, LVCFMT_LEFT, nWidth / 3);
    strColumn.LoadString(IDS_BUTTON_ASSIGNMENT);
    m_lstButtons.InsertColumn(1, strColumn, LVCFMT_LEFT, nWidth * 2 / 3);

    m_nCurSel = 0;
    FillButtonList();

    m_strLockState[0].MakeUpper();
    const BOOL bEditable = m_strLockState[0] != kLocked;
    UpdateEditLock(bEditable);
    EnableDelete(bEditable);
    CString strActive = m_strActiveScheme;
    m_bSchemeRemovable = strActive.MakeUpper() != kMakerScheme;
    EnableItem(IDC_DELETE_SCHEME, m_bSchemeRemovable);

    AddSchemeFileCommands();

    ::SetFocus(::GetDlgItem(m_hWnd, IDC_EDIT_NAME));
    m_lstButtons.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_strEditName = m_strButtonName[0];
    m_strEditTitle = m_strAssignTitle[0];
    UpdateData(FALSE);
    return TRUE;
}

void CButtonSettingsDlg::LoadButtonTable()
{
    CButtonConfig config;
    CStringArray ids;
    SplitButtonList(config.GetButtonList(), ids);
    m_nButtonCount = static_cast<int>(ids.GetSize());
    for (int k = 0; k < m_nButtonCount; k++) {
        if (k >= kMaxButtons) {
            AfxMessageBox(kTooManyButtons);
            ::ExitProcess(1);
        }
        m_config[k].SetButtonId(ids[k]);
    }
    m_strBrowserPath = GetBrowserCommand();

    COwningPtrList<ButtonSetting> defaults;
    LoadSchemeSettings(kMakerSchemeShown, defaults);
    m_labels.Load();
    for (int n = 0; n < kIconButtons; n++)
        m_strKeyIcon[n] = ReadIconEntry(n);
    int i = 0;
    for (POSITION pos = defaults.GetHeadPosition(); pos && i < kMaxButtons; i++)
        m_default.SetAt(i, *defaults.GetNext(pos));
    RelabelDefaultSet(m_default, m_labels, m_layout);
}

void CButtonSettingsDlg::SetDialogTexts()
{
    const struct
    {
        int nID;
        UINT nString;
    } texts[] = {
        {IDC_LABEL_SCHEME, IDS_SCHEME},
        {IDC_LABEL_NAME, IDS_BUTTON_NAME},
        {IDC_LABEL_ASSIGNMENT, IDS_BUTTON_ASSIGNMENT},
        {IDC_ADD_SCHEME, IDS_ADD},
        {IDC_DELETE_SCHEME, IDS_DELETE},
        {IDC_BROWSE, IDS_BROWSE},
        {IDC_ABOUT, IDS_ABOUT},
        {IDC_HELP_BUTTON, IDS_HELP},
        {IDC_OK_BUTTON, IDS_OK},
        {IDC_CANCEL_BUTTON, IDS_CANCEL},
        {IDC_APPLY, IDS_APPLY},
    };
    CString strText;
    strText.LoadString(IDS_DIALOG_TITLE);
    SetWindowText(strText);
    for (const auto& t : texts) {
        strText.LoadString(t.nString);
        SetDlgItemText(t.nID, strText);
    }
}

// The current set: the active scheme's settings, with the default set where they are empty.
void CButtonSettingsDlg::LoadCurrentSet()
{
    COwningPtrList<ButtonSetting> settings;
    LoadSchemeSettings(m_strActiveScheme, settings);
    const int nCount = static_cast<int>(settings.GetCount());
    for (int i = 0; i < nCount && i < kMaxButtons; i++) {
        m_strButtonName[i] = ReadButtonName(m_strActiveScheme, i);
        m_strTarget[i] = MendHelpCentreTarget(ReadButtonTarget(m_strActiveScheme, i));
        m_strAssignTitle[i] = ReadButtonTitle(m_strActiveScheme, i);
        m_strLockState[i] = ReadButtonLock(m_strActiveScheme, i);
    }
    FillEmptyFields(nCount);
}

void CButtonSettingsDlg::FillEmptyFields(int nCount)
{
    for (int i = 0; i < nCount && i < kMaxButtons; i++) {
        if (m_strButtonName[i].IsEmpty()) m_strButtonName[i] = m_strDefaultName[i];
        if (m_strAssignTitle[i].IsEmpty()) m_strAssignTitle[i] = m_strDefaultTitle[i];
        if (m_strTarget[i].IsEmpty()) m_strTarget[i] = m_strDefaultTarget[i];
        if (m_strLockState[i].IsEmpty()) m_strLockState[i] = kUnlocked;
    }
}

void CButtonSettingsDlg::LoadSchemeSettings(const CString& strScheme,
                                            COwningPtrList<ButtonSetting>& rList)
{
    const CString strCurrent = ReadCurrentScheme();
    for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++) {
        CButtonConfig& config = m_config[i];
        config.SelectScheme(strScheme);
        const CString strName = config.GetName();
        const CString strTitle = config.GetTitle();
        const CString strTarget = config.GetTarget();
        rList.AddTail(new ButtonSetting(strName, strTitle, strTarget, config.GetLockState()));
    }
    SelectCurrentScheme(strCurrent);
}

int CButtonSettingsDlg::ClampPosition(int nPos) const
{
    if (nPos >= m_nButtonCount) nPos = m_nButtonCount - 1;
    if (nPos >= kMaxButtons) nPos = kMaxButtons - 1;
    return nPos < 0 ? 0 : nPos;
}

CString CButtonSettingsDlg::ReadButtonValue(const CString& strScheme, int nPos,
                                            CString (CButtonConfig::*pfnGet)())
{
    CButtonConfig& config = m_config[ClampPosition(nPos)];
    config.SelectScheme(strScheme);
    return (config.*pfnGet)();
}

CString CButtonSettingsDlg::ReadButtonName(const CString& strScheme, int nPos)
{
    return ReadButtonValue(strScheme, nPos, &CButtonConfig::GetName);
}

CString CButtonSettingsDlg::ReadButtonTitle(const CString& strScheme, int nPos)
{
    return ReadButtonValue(strScheme, nPos, &CButtonConfig::GetTitle);
}

CString CButtonSettingsDlg::ReadButtonTarget(const CString& strScheme, int nPos)
{
    return ReadButtonValue(strScheme, nPos, &CButtonConfig::GetTarget);
}

CString CButtonSettingsDlg::ReadButtonLock(const CString& strScheme, int nPos)
{
    CButtonConfig& config = m_config[ClampPosition(nPos)];
    const CString strCurrent = config.GetCurrentScheme();
    config.SelectScheme(strScheme);
    CString strLock = config.GetLockState();
    if (!EqualNoCase(strCurrent, strScheme)) config.SelectScheme(strCurrent);
    return strLock.MakeUpper();
}

void CButtonSettingsDlg::FillButtonList()
{
    RelabelCurrentSet(m_current, m_nButtonCount, m_default, m_labels, m_layout);
    m_lstButtons.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                             LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    UpdateData(TRUE);
    // The rows are drawn once, when they are all there.
    m_lstButtons.SendMessage(WM_SETREDRAW, FALSE);
    m_lstButtons.DeleteAllItems();
    for (int n = 0; n < m_nButtonCount && n < kMaxButtons; n++) {
        const int nItem = m_lstButtons.InsertItem(n, m_strButtonName[n], 2 * n);
        m_lstButtons.SetItem(nItem, 1, m_strAssignTitle[n], 2 * n + 1);
    }
    m_lstButtons.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_lstButtons.m_hWnd, nullptr, TRUE);
    UpdateData(FALSE);
}

void CButtonSettingsDlg::UpdateEditLock(BOOL bEnable, const CString* pstrScheme)
{
    CButtonConfig config;
    CString strCurrent = config.GetCurrentScheme();
    strCurrent.MakeUpper();
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE})
        EnableItem(nID, bEnable);
    UpdateData(TRUE);
    if (m_bSetLock)
        m_btnApply.EnableWindow(
            !(pstrScheme && *pstrScheme == kMakerScheme && strCurrent == kMakerScheme));
    else
        m_btnApply.EnableWindow(bEnable);
    UpdateData(TRUE);
}

void CButtonSettingsDlg::EnableDelete(BOOL bEnable)
{
    UpdateData(TRUE);
    EnableItem(IDC_DELETE_SCHEME, bEnable);
    UpdateData(TRUE);
}

void CButtonSettingsDlg::RefreshButtonIcons()
{
    ImageList_RemoveAll(*m_pSmallImages);
    const CIconContext context = {m_strBrowserPath, ReadSupportedExtensions()};
    const CString strIconsDir = GetIconsFolder();
    for (int n = 0; n < kIconButtons; n++) {
        // Buttons 7 and 8 share the last default icon.
        const UINT nDefaultIcon = IDI_BUTTON_INFORMATION + (n < 8 ? n : 7);
        UpdateButtonIcons(*m_pSmallImages, strIconsDir, m_strKeyIcon[n], nDefaultIcon, 2 * n,
                          m_strTarget[n], 2 * n + 1, context);
    }
    m_lstButtons.SetImageList(*m_pLargeImages, LVSIL_NORMAL);
    m_lstButtons.SetImageList(*m_pSmallImages, LVSIL_SMALL);
}

void CButtonSettingsDlg::DisableEditing()
{
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE, IDC_DELETE_SCHEME})
        EnableItem(nID, FALSE);
}

int CButtonSettingsDlg::ClampedSelection()
{
    return m_nCurSel = ClampPosition(m_nCurSel);
}

void CButtonSettingsDlg::SelectRow(int nRow)
{
    m_lstButtons.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
}

// Called when a row of the list is clicked: that button goes into the edits.
void CButtonSettingsDlg::OnListClick(NMHDR*, LRESULT* pResult)
{
    m_nCurSel = static_cast<int>(
        m_lstButtons.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (m_nCurSel < 0) {
        m_nCurSel = static_cast<int>(m_lstButtons.SendMessage(LVM_GETHOTITEM));
        if (m_nCurSel >= 0) SelectRow(m_nCurSel);
    }
    // Clamped for use only: a click on no row leaves -1 for the next handler.
    const int nRow = ClampPosition(m_nCurSel);
    SelectRow(nRow);
    m_strEditTitle = m_strAssignTitle[nRow];
    m_strEditName = m_strButtonName[nRow];
    UpdateData(FALSE);

    UpdateData(TRUE);
    CString strScheme = GetSelectedSchemeText();
    const CString strLock = ReadButtonLock(strScheme, m_nCurSel);
    strScheme.MakeUpper();
    const BOOL bLocked = strLock == kLocked || (strLock.IsEmpty() && m_bSetLock);
    UpdateEditLock(!bLocked, &strScheme);
    m_bSchemeRemovable =
        !EqualNoCase(strScheme, kMakerScheme) && !EqualNoCase(strScheme, m_strMakerSchemeText);
    EnableDelete(m_bSchemeRemovable);

    UpdateData(TRUE);
    const CString strName = m_lstButtons.GetItemText(m_nCurSel, 0);
    const CString strTitle = m_lstButtons.GetItemText(m_nCurSel, 1);
    if (!strName.IsEmpty()) m_strEditName = strName;
    if (!strTitle.IsEmpty()) m_strEditTitle = strTitle;
    UpdateData(FALSE);
    *pResult = 0;
}

// Called for a key pressed in the list, before the list moves its own selection.
void CButtonSettingsDlg::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const WORD wKey = reinterpret_cast<NMLVKEYDOWN*>(pNMHDR)->wVKey;
    const int nCurrent = static_cast<int>(
        m_lstButtons.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    int nRow = wKey == VK_UP ? nCurrent - 1 : wKey == VK_DOWN ? nCurrent + 1 : 0;
    if (nRow < 0) nRow = 0;
    if (nRow == 1) m_lstButtons.SetItemState(0, 0, LVIS_SELECTED);
    if (nRow > m_nButtonCount - 1) {
        m_nCurSel = m_nButtonCount - 1;
        UpdateData(TRUE);
        m_strEditName = m_strButtonName[ClampedSelection()];
        m_strEditTitle = m_strAssignTitle[m_nCurSel];
        UpdateData(FALSE);
        return;
    }
    m_nCurSel = nRow;
    m_strEditName = m_strButtonName[nRow];
    m_strEditTitle = m_strAssignTitle[nRow];
    UpdateData(FALSE);

    UpdateData(TRUE);
    const CString strScheme = m_strCurScheme;
    const CString strLock = ReadButtonLock(strScheme, m_nCurSel);
    UpdateEditLock(!(strLock == kLocked || (strLock.IsEmpty() && m_bSetLock)), &strScheme);

    UpdateData(TRUE);
    SelectRow(nRow);
    UpdateData(FALSE);
}

// Called when the list loses the focus: nothing to do.
void CButtonSettingsDlg::OnListKillFocus(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

void CButtonSettingsDlg::OnNameSetFocus()
{
    UpdateData(TRUE);
    UpdateData(FALSE);
}

// Called when the assignment edit gets the focus: its whole text is selected, ready to replace.
void CButtonSettingsDlg::OnTitleSetFocus()
{
    m_edtTitle.SetSel(0, -1);
    m_edtTitle.SendMessage(EM_SCROLLCARET);
    UpdateData(TRUE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Called when the name edit loses the focus. A new name alone neither rebuilds the list nor
// counts as a change of the scheme.
void CButtonSettingsDlg::CommitName()
{
    UpdateData(TRUE);
    m_strButtonName[ClampedSelection()] = m_strEditName;
    UpdateData(FALSE);
}

// Called when the assignment edit loses the focus, and first by Apply and OK.
void CButtonSettingsDlg::CommitEdits()
{
    UpdateData(TRUE);
    const CString strName = m_strEditName;
    const CString strTitle = m_strEditTitle;
    UpdateData(FALSE);
    const int nPos = ClampedSelection();
    m_strButtonName[nPos] = strName;
    // The label of a menu choice that the edit shows unchanged stays a menu choice.
    if (m_strAssignTitle[nPos] == strTitle) return;
    // What was typed is the target itself: a path or a URL.
    m_strAssignTitle[nPos] = strTitle;
    m_strTarget[nPos] = strTitle;
    CEditDropTarget& drop = m_edtTitle.m_dropTarget;
    if (drop.m_bDropped == 1) {
        m_strTarget[nPos] = drop.m_strDroppedPath;
        drop.m_bDropped = FALSE;
    }
    m_bTitleFromMenu = FALSE;
    RefreshButtonIcons();
    FillButtonList();
    m_bModified = TRUE;
}

// Called by the Apply button (and by Enter, Apply being the default button).
void CButtonSettingsDlg::OnApply()
{
    CommitEdits();
    const BOOL bRunning = IsTrayProgramRunning();
    const BOOL bChecked = m_chkTray.GetCheck() == BST_CHECKED;
    if (CanWriteSystrayAtBoot()) {
        WriteSystrayAtBoot(bChecked);
        if (bChecked && !bRunning)
            StartTrayProgram(GetTrayProgramPath());
        else if (!bChecked && bRunning)
            CloseTrayProgram();
    }
    FillButtonList();
    SaveScheme();
}

void CButtonSettingsDlg::RestoreInputContext()
{
    ::ImmAssociateContext(m_hWnd, m_hSavedIMC);
    ::ImmReleaseContext(m_hWnd, m_hSavedIMC);
}

// Called by the OK button: applies, then ends the dialog.
void CButtonSettingsDlg::OnOkButton()
{
    OnApply();
    RestoreInputContext();
    EndDialog(IDOK);
}

// Called by the Cancel button, Esc and the close box: what was not applied is dropped.
void CButtonSettingsDlg::OnCancel()
{
    RestoreInputContext();
    CDialog::OnCancel();
}

// Called for the close box; the dialog's default handling then cancels.
void CButtonSettingsDlg::OnClose()
{
    RestoreInputContext();
    Default();
}

// Called before the controls go. The list would destroy the image lists it shows, which belong
// to the dialog.
void CButtonSettingsDlg::OnDestroy()
{
    if (m_lstButtons.m_hWnd) {
        m_lstButtons.SetImageList(nullptr, LVSIL_NORMAL);
        m_lstButtons.SetImageList(nullptr, LVSIL_SMALL);
    }
    m_edtTitle.m_dropTarget.Revoke();
    CDialog::OnDestroy();
}

void CButtonSettingsDlg::OnAbout()
{
    if (m_showAbout) m_showAbout();
}

void CButtonSettingsDlg::OnHelpButton()
{
    if (CWinApp* pApp = AfxGetApp()) pApp->WinHelp(1, HELP_CONTEXT);
}

// Called for F1.
BOOL CButtonSettingsDlg::OnHelpInfo(HELPINFO*)
{
    if (CWinApp* pApp = AfxGetApp()) pApp->WinHelp(1, HELP_CONTEXT);
    return TRUE;
}

// Called by the "Browse..." button: the menu opens where the mouse pointer is.
void CButtonSettingsDlg::ShowAssignmentMenu()
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_ASSIGN_MENU)) return;
    const HMENU hPopup = menu.GetSubMenu(0);
    PrepareAssignmentMenu(hPopup, m_layout, m_labels, m_osVersion);
    POINT pt = {};
    ::GetCursorPos(&pt);
    SetForegroundWindow();
    // A mirrored dialog's menu lays its items out right to left.
    const UINT nLayout =
        ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL ? TPM_LAYOUTRTL : 0;
    ::TrackPopupMenu(hPopup, TPM_RIGHTBUTTON | nLayout, pt.x, pt.y, 0, m_hWnd, nullptr);
}

// Called for a command of the assignment menu but "Browse...".
void CButtonSettingsDlg::OnAssignCommand(UINT nID)
{
    if (const UINT nLabel = AssignmentLabel(nID)) AssignPredefined(m_labels.Get(nLabel));
}

// Called by the menu's "Browse...": the chosen file goes into the assignment edit, which makes
// it the target when the edit is left.
void CButtonSettingsDlg::OnFileBrowse()
{
    UpdateData(TRUE);
    const CString strPrevious = m_strEditTitle;
    const CString strPath = BrowseFromFavorites(this);
    UpdateData(TRUE);
    if (strPath.Find(L"*.") >= 0) {
        // Nothing was chosen: the name is still the pattern.
        m_strEditTitle = strPrevious;
    } else if (!strPath.IsEmpty()) {
        m_strEditTitle = strPath.Find(L' ') >= 1 ? L'"' + strPath + L'"' : strPath;
        UpdateData(FALSE);
    }
    m_edtTitle.SetFocus();
    UpdateData(FALSE);
    m_bModified = TRUE;
}

void CButtonSettingsDlg::AssignPredefined(const CString& strLabel)
{
    UpdateData(TRUE);
    m_strEditTitle = strLabel;
    UpdateData(FALSE);
    if (m_nCurSel < 0) m_nCurSel = 0;
    const int nPos = ClampedSelection();
    m_strAssignTitle[nPos] = strLabel;
    m_bTitleFromMenu = TRUE;
    ApplyMenuChoice(m_current, nPos, strLabel, m_default, m_labels);
    UpdateData(FALSE);
    FillButtonList();
    RefreshButtonIcons();
    m_bModified = TRUE;
    m_edtTitle.SetFocus();
}
