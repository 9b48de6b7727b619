#include "dialog/ButtonSettingsDlg.h"
#include "app/AboutDlg.h"
#include "config/Schemes.h"
#include "config/Settings.h"
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
    ON_WM_DESTROY()
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

namespace {

const WCHAR kTooManyButtons[] = L"Initialization file has too many buttons in button list";
const WCHAR kUnlocked[] = L"UNLOCKED";
const WCHAR kLocked[] = L"LOCK";
const WCHAR kTrayWindow[] = L"Quelda Kivora System Tray Window";
const WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
const WCHAR kShellFoldersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A help centre that is not there gives way to the Windows help file.
CString MendHelpCentreTarget(const CString& strTarget)
{
    if (strTarget.Find(L"helpctr.exe") < 0) return strTarget;
    const HANDLE hFile =
        ::CreateFileW(strTarget, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(hFile);
        return strTarget;
    }
    WCHAR szWindows[520] = {};
    if (!::GetWindowsDirectoryW(szWindows, ARRAYSIZE(szWindows)))
        return L"C:\\Windows\\Help\\windows.chm";
    return CString(szWindows) + L"\\Help\\windows.chm";
}

// The label each predefined command assigns, by command from ID_ASSIGN_INFORMATION on; 0 for
// "Browse...", which picks a file instead.
const UINT kAssignLabels[] = {IDS_INFORMATION_URL,
                              IDS_HOME_URL,
                              IDS_SEARCH_URL,
                              IDS_LAUNCH_EMAIL,
                              IDS_COMMUNITY_URL,
                              IDS_MARKET_MONITOR_URL,
                              IDS_MEETING_CENTER_URL,
                              IDS_NEWS_URL,
                              0,
                              IDS_VOLUME_UP,
                              IDS_VOLUME_DOWN,
                              IDS_MUTE,
                              IDS_HELP,
                              IDS_SMART_CARD,
                              IDS_MEDIA,
                              IDS_Q,
                              IDS_SHOPPING_CART,
                              CButtonLabels::IDS_COMMUNITY_VARIANT};

// The menu's items by position in its two layouts: command and label.
struct MenuItem
{
    UINT nCommand, nLabel;
};
const MenuItem kStandardLayout[] = {{ID_ASSIGN_INFORMATION, IDS_INFORMATION_URL},
                                    {ID_ASSIGN_HOME, IDS_HOME_URL},
                                    {ID_ASSIGN_SEARCH, IDS_SEARCH_URL},
                                    {ID_ASSIGN_MAIL, IDS_LAUNCH_EMAIL},
                                    {ID_ASSIGN_COMMUNITY_URL, IDS_COMMUNITY_URL},
                                    {ID_ASSIGN_MARKET, IDS_MARKET_MONITOR_URL},
                                    {ID_ASSIGN_MEETING, IDS_MEETING_CENTER_URL},
                                    {ID_ASSIGN_NEWS, IDS_NEWS_URL},
                                    {ID_ASSIGN_VOLUME_UP, IDS_VOLUME_UP},
                                    {ID_ASSIGN_VOLUME_DOWN, IDS_VOLUME_DOWN},
                                    {ID_ASSIGN_MUTE, IDS_MUTE}};
const MenuItem kHelpLayout[] = {{ID_ASSIGN_INFORMATION, IDS_INFORMATION_URL},
                                {ID_ASSIGN_HELP, IDS_HELP},
                                {ID_ASSIGN_SEARCH, IDS_SEARCH_URL},
                                {ID_ASSIGN_MAIL, IDS_LAUNCH_EMAIL},
                                {ID_ASSIGN_SMART_CARD, IDS_SMART_CARD},
                                {ID_ASSIGN_MEDIA, IDS_MEDIA},
                                {ID_ASSIGN_Q, IDS_Q},
                                {ID_ASSIGN_SHOPPING_CART, IDS_SHOPPING_CART},
                                {ID_ASSIGN_VOLUME_UP, IDS_VOLUME_UP},
                                {ID_ASSIGN_VOLUME_DOWN, IDS_VOLUME_DOWN},
                                {ID_ASSIGN_MUTE, IDS_MUTE}};
const MenuItem kCommunityItem = {ID_ASSIGN_COMMUNITY, CButtonLabels::IDS_COMMUNITY_VARIANT};

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

CButtonSettingsDlg::~CButtonSettingsDlg()
{
    delete m_pSmallImages;
    delete m_pLargeImages;
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

    m_pLargeImages = new CImageList;
    m_pLargeImages->Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 4);
    m_pSmallImages = new CImageList;
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
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_DELETE_SCHEME), m_bSchemeRemovable);

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
    LoadSchemeSettings(L"Quelda", defaults);
    m_labels.Load();
    for (int n = 0; n < 9; n++)
        m_strKeyIcon[n] = ReadIconEntry(n);
    int i = 0;
    for (POSITION pos = defaults.GetHeadPosition(); pos && i < kMaxButtons; i++) {
        const ButtonSetting* pSetting = defaults.GetNext(pos);
        m_strDefaultName[i] = pSetting->name;
        m_strDefaultTitle[i] = pSetting->title;
        m_strDefaultTarget[i] = pSetting->target;
        m_strDefaultLock[i] = pSetting->lock;
    }
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

// The box lists the stored names in stored order as the user knows them.
void CButtonSettingsDlg::FillSchemeBox()
{
    CStringList schemes;
    ReadSchemeList(schemes);
    for (POSITION pos = schemes.GetHeadPosition(); pos;) {
        const CString& strStored = schemes.GetNext(pos);
        if (strStored.IsEmpty()) continue;
        m_cbScheme.AddString(ShownSchemeName(strStored, m_strMakerSchemeText));
    }

    m_strActiveScheme = ReadCurrentScheme();
    m_strActiveScheme.Replace(L"00000000", L"]");
    CString strUpper = m_strActiveScheme;
    if (strUpper.MakeUpper() == m_strMakerSchemeText) m_strActiveScheme = kMakerScheme;

    if (m_strActiveScheme.IsEmpty()) {
        m_cbScheme.SetCurSel(1);
        return;
    }
    // As the box's own prefix search does it: from the item after the first, round to the top.
    const CString& strSearch =
        EqualNoCase(m_strActiveScheme, kMakerScheme) ? m_strMakerSchemeText : m_strActiveScheme;
    if (m_cbScheme.SelectString(0, strSearch) == CB_ERR) m_cbScheme.SetCurSel(-1);
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
    m_lstButtons.DeleteAllItems();
    for (int n = 0; n < m_nButtonCount && n < kMaxButtons; n++) {
        const int nItem = m_lstButtons.InsertItem(n, m_strButtonName[n], 2 * n);
        m_lstButtons.SetItem(nItem, 1, m_strAssignTitle[n], 2 * n + 1);
    }
    UpdateData(FALSE);
}

void CButtonSettingsDlg::UpdateEditLock(BOOL bEnable, const CString* pstrScheme)
{
    CButtonConfig config;
    CString strCurrent = config.GetCurrentScheme();
    strCurrent.MakeUpper();
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, nID), bEnable);
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
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_DELETE_SCHEME), bEnable);
    UpdateData(TRUE);
}

void CButtonSettingsDlg::RefreshButtonIcons()
{
    ImageList_RemoveAll(*m_pSmallImages);
    const CIconContext context = {m_strBrowserPath, ReadSupportedExtensions()};
    const CString strIconsDir = GetProgramFilesDir() + L"\\QUELDA\\Kivora Button Support\\Icons";
    for (int n = 0; n < 9; n++) {
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
        ::EnableWindow(::GetDlgItem(m_hWnd, nID), FALSE);
}

CString CButtonSettingsDlg::GetSelectedSchemeText()
{
    const int nSel = m_cbScheme.GetCurSel();
    UpdateData(TRUE);
    CString str;
    if (nSel >= 0) m_cbScheme.GetLBText(nSel, str);
    return str;
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

void CButtonSettingsDlg::SaveScheme()
{
    CString strScheme = m_strCurScheme;
    UpdateData(FALSE);
    strScheme = StoredSchemeName(strScheme, m_strMakerSchemeText);
    CStringList schemes;
    ReadSchemeList(schemes);
    const BOOL bListed = schemes.Find(strScheme) != nullptr;
    CString strUpper = strScheme;
    if (strUpper.MakeUpper() != kMakerScheme) {
        const int nAdded = bListed ? 0 : AddSchemeIfMissing(strScheme);
        // An existing scheme is written afresh: its old settings go, its name comes back.
        if (nAdded != 1) {
            RemoveSchemeSettings(strScheme);
            AddSchemeIfMissing(strScheme);
        }
        CButtonConfig config;
        config.SelectScheme(strScheme);
        for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++) {
            m_config[i].SetName(m_strButtonName[i]);
            m_config[i].SetTitle(m_strAssignTitle[i]);
            m_config[i].SetTarget(m_strTarget[i]);
            m_config[i].SetLockState(m_strLockState[i]);
        }
    }
    m_bModified = FALSE;
    SelectCurrentScheme(strScheme);
}

int CButtonSettingsDlg::AddSchemeIfMissing(const CString& strScheme)
{
    CStringList schemes;
    ReadSchemeList(schemes);
    if (schemes.IsEmpty() || schemes.GetTail() == strScheme) return 0;
    // A substring test: a name inside a longer stored name counts as listed.
    if (m_config[1].GetSchemeList().Find(strScheme) < 0) {
        m_config[1].AddScheme(strScheme);
        m_strCurScheme = strScheme;
    }
    return 1;
}

int CButtonSettingsDlg::RemoveSchemeSettings(const CString& strScheme)
{
    CButtonConfig config;
    config.SelectScheme(strScheme);
    for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++)
        m_config[i].RemoveScheme(strScheme);
    config.SelectScheme(L"Quelda");
    m_strCurScheme = L"Quelda";
    return 1;
}

// Called by the Apply button (and by Enter, Apply being the default button).
void CButtonSettingsDlg::OnApply()
{
    CommitEdits();
    const HWND hTray = ::FindWindowW(nullptr, kTrayWindow);
    const BOOL bChecked = m_chkTray.GetCheck() == BST_CHECKED;
    CRegKey key(HKEY_LOCAL_MACHINE, kTrayKey, KEY_SET_VALUE);
    if (key) {
        WriteSystrayAtBoot(bChecked);
        if (bChecked && !hTray)
            StartTrayProgram(GetProgramFilesDir() +
                             L"\\Quelda\\Kivora Button Support\\ZRQKVKSYSTEMTRAY.EXE");
        else if (!bChecked && hTray)
            ::PostMessageW(hTray, WM_CLOSE, 0, 0);
    }
    FillButtonList();
    SaveScheme();
}

void CButtonSettingsDlg::StartTrayProgram(const CString& strPath)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(strPath, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi))
        return;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
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
    CAboutDlg dlg;
    dlg.DoModal();
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
    UINT nCommands[11];
    for (int n = 0; n < 11; n++)
        nCommands[n] = ::GetMenuItemID(hPopup, n);
    const UINT nBrowse = ::GetMenuItemID(hPopup, 12);
    const MenuItem* pLayout = m_layout.m_bHelpLayout ? kHelpLayout : kStandardLayout;
    for (int n = 0; n < 11; n++) {
        MenuItem item = pLayout[n];
        if (n == 4 && m_layout.m_bHelpLayout && m_layout.m_bCommunityLayout) item = kCommunityItem;
        ::ModifyMenuW(hPopup, nCommands[n], MF_BYCOMMAND | MF_STRING, item.nCommand,
                      m_labels.Get(item.nLabel));
    }
    // The volume functions need Windows Me, 2000 or later.
    if (m_osVersion.IsWin9xBeforeMe() || m_osVersion.IsNtBefore2000())
        for (UINT nID : {ID_ASSIGN_VOLUME_UP, ID_ASSIGN_VOLUME_DOWN, ID_ASSIGN_MUTE})
            ::DeleteMenu(hPopup, nID, MF_BYCOMMAND);
    CString strBrowse;
    strBrowse.LoadString(IDS_BROWSE);
    ::ModifyMenuW(hPopup, nBrowse, MF_BYCOMMAND | MF_STRING, ID_ASSIGN_BROWSE, strBrowse);

    POINT pt = {};
    ::GetCursorPos(&pt);
    SetForegroundWindow();
    ::TrackPopupMenu(hPopup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}

// Called for a command of the assignment menu but "Browse...".
void CButtonSettingsDlg::OnAssignCommand(UINT nID)
{
    const UINT nLabel = kAssignLabels[nID - ID_ASSIGN_INFORMATION];
    if (nLabel) AssignPredefined(m_labels.Get(nLabel));
}

// Called by the menu's "Browse...": the chosen file goes into the assignment edit, which makes
// it the target when the edit is left.
void CButtonSettingsDlg::OnFileBrowse()
{
    UpdateData(TRUE);
    const CString strPrevious = m_strEditTitle;
    ::CoInitialize(nullptr);
    const CRegKey key(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ);
    const CString strFavorites = key.QueryString(L"Favorites", 8192);

    CFileDialog dlg(TRUE, L"*.url", strFavorites + L"\\*.url",
                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS,
                    L"URL (*.url)|*.url|(*.exe)|*.exe|(*.*)|*.*|(*.xls)|*.xls||", this);
    dlg.DoModal();
    POSITION pos = dlg.GetStartPosition();
    const CString strPath = dlg.GetNextPathName(pos);

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

void CButtonSettingsDlg::CopySet(CButtonSet& rTo, const CButtonSet& from) const
{
    for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++) {
        rTo.m_strButtonName[i] = from.m_strButtonName[i];
        rTo.m_strAssignTitle[i] = from.m_strAssignTitle[i];
        rTo.m_strTarget[i] = from.m_strTarget[i];
        rTo.m_strLockState[i] = from.m_strLockState[i];
    }
}

CString CButtonSettingsDlg::GetSchemeBoxText() const
{
    WCHAR szText[260] = {};
    ::GetWindowTextW(m_cbScheme.m_hWnd, szText, ARRAYSIZE(szText));
    return szText;
}

// Called when another scheme is picked in the box: unsaved changes are offered for saving, then
// the picked scheme's settings become the current set.
void CButtonSettingsDlg::OnSchemeSelChange()
{
    const CString strPrevious = m_strCurScheme;
    CopySet(m_previous, m_current);
    int nAnswer = IDNO;
    if (m_bModified == TRUE) {
        CString strText, strCaption;
        strText.LoadString(IDS_APPLY);
        strCaption.LoadString(IDS_BUTTON_ASSIGNMENT);
        nAnswer = MessageBox(strText + L" ?", strCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    // Cancel keeps the old scheme loaded although the box shows the picked one.
    if (nAnswer != IDCANCEL) {
        if (nAnswer == IDYES) SaveScheme();
        m_bModified = FALSE;
        LoadPickedScheme(strPrevious);
    }
    // Row 0 goes into the edits, but no row is selected: the next Down arrow starts at row 0.
    m_nCurSel = 0;
    FillButtonList();
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_EDIT_NAME));
    m_strEditName = m_lstButtons.GetItemText(0, 0);
    m_strEditTitle = m_lstButtons.GetItemText(0, 1);
    UpdateData(FALSE);
    RefreshButtonIcons();
    UpdateData(FALSE);
}

void CButtonSettingsDlg::LoadPickedScheme(const CString& strPrevious)
{
    m_strCurScheme = GetSelectedSchemeText();
    CString strScheme = m_strCurScheme;
    UpdateData(FALSE);
    if (CString(m_strCurScheme).MakeUpper() == kMakerScheme) {
        // The default scheme comes from the default set; the service is not asked.
        CopySet(m_current, m_default);
    } else if (strPrevious == CString(m_strCurScheme).MakeUpper()) {
        CopySet(m_current, m_previous);
    } else {
        strScheme = StoredSchemeName(strScheme, m_strMakerSchemeText);
        COwningPtrList<ButtonSetting> settings;
        LoadSchemeSettings(strScheme, settings);
        const int nCount = static_cast<int>(settings.GetCount());
        if (nCount == 0) {
            CopySet(m_current, m_default);
        } else {
            // The picked scheme becomes the service's current one at once.
            m_config[0].SelectScheme(strScheme);
            for (int j = 0; j < nCount && j < kMaxButtons; j++) {
                m_strButtonName[j] = m_config[j].GetName();
                m_strAssignTitle[j] = m_config[j].GetTitle();
                m_strTarget[j] = m_config[j].GetTarget();
                m_strLockState[j] = m_config[j].GetLockState();
            }
        }
    }

    const BOOL bEditable = !EqualNoCase(m_strLockState[0], kLocked);
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, nID), bEditable);
    m_btnApply.EnableWindow(bEditable);
    if (m_bSetLock) m_btnApply.EnableWindow(m_strActiveScheme != L"Quelda");
    m_bSchemeRemovable = !EqualNoCase(strScheme, kMakerScheme);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_DELETE_SCHEME), m_bSchemeRemovable);

    FillEmptyFields(m_nButtonCount);
}

// Called by "Add": the name typed into the box starts a scheme as a copy of the default one, or
// brings back a stored scheme the box did not show. Nothing is stored until it is saved.
void CButtonSettingsDlg::OnSchemeAdd()
{
    CString strName = GetSchemeBoxText();
    if (m_cbScheme.FindStringExact(-1, strName) != CB_ERR) return;
    if (EqualNoCase(strName, kMakerScheme)) strName = m_strMakerSchemeText;
    m_cbScheme.SetWindowText(strName);
    m_strCurScheme = strName;
    UpdateData(FALSE);

    const int nFound = m_cbScheme.FindStringExact(-1, strName);
    if (nFound != CB_ERR)
        m_cbScheme.SetCurSel(nFound);
    else if (!strName.IsEmpty())
        m_cbScheme.SetCurSel(m_cbScheme.AddString(strName));

    CStringList schemes;
    ReadSchemeList(schemes);
    BOOL bStored = FALSE;
    for (POSITION pos = schemes.GetHeadPosition(); pos && !bStored;)
        bStored = EqualNoCase(schemes.GetNext(pos), strName);
    if (!bStored) {
        for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++) {
            m_strButtonName[i] = m_strDefaultName[i];
            m_strAssignTitle[i] = m_strDefaultTitle[i];
            m_strTarget[i] = m_strDefaultTarget[i];
            m_strLockState[i] = m_bSetLock ? m_strDefaultLock[i] : CString(kUnlocked);
        }
    } else {
        COwningPtrList<ButtonSetting> settings;
        LoadSchemeSettings(strName, settings);
        const int nCount = static_cast<int>(settings.GetCount());
        for (int j = 0; j < nCount && j < kMaxButtons; j++) {
            m_strButtonName[j] = ReadButtonName(strName, j);
            m_strAssignTitle[j] = ReadButtonTitle(strName, j);
            m_strTarget[j] = ReadButtonTarget(strName, j);
            m_strLockState[j] = ReadButtonLock(strName, j);
        }
    }
    FillButtonList();
    RefreshButtonIcons();

    m_strEditTitle = m_strAssignTitle[0];
    m_strEditName = EqualNoCase(m_strButtonName[0], m_strDefaultName[0]) ? m_strButtonName[0]
                                                                         : m_strDefaultName[0];
    UpdateEditLock(!m_bSetLock && !EqualNoCase(m_strLockState[0], kLocked), &m_strCurScheme);
    m_bSchemeRemovable =
        !EqualNoCase(strName, L"Quelda") && !EqualNoCase(strName, m_strMakerSchemeText);
    EnableDelete(m_bSchemeRemovable);
    m_strCurScheme = strName;
    UpdateData(FALSE);
}

// Called by "Delete": after the user confirms, the typed scheme leaves the service at once and
// the box's selected item leaves the box; the default scheme takes their place.
void CButtonSettingsDlg::OnSchemeDelete()
{
    m_strCurScheme = GetSchemeBoxText();
    if (m_cbScheme.FindStringExact(-1, m_strCurScheme) == CB_ERR) return;
    CString strText, strCaption;
    strText.LoadString(IDS_CONFIRM_REMOVE_SCHEME);
    strCaption.LoadString(IDS_PRODUCT_NAME);
    if (MessageBox(strText, strCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;

    m_cbScheme.DeleteString(m_cbScheme.GetCurSel());
    CString strScheme = m_strCurScheme;
    if (CString(strScheme).MakeUpper() != kMakerScheme) {
        RemoveSchemeSettings(StoredSchemeName(strScheme, m_strMakerSchemeText));
        SelectCurrentScheme(L"Quelda");
    }
    if (m_strActiveScheme != L"Quelda") m_strActiveScheme = L"Quelda";

    int nDefault = 0;
    for (int i = 0; i < m_cbScheme.GetCount(); i++) {
        CString strItem;
        m_cbScheme.GetLBText(i, strItem);
        if (strItem == L"Quelda") nDefault = i;
    }
    m_cbScheme.SetCurSel(nDefault);

    CopySet(m_current, m_default);
    DisableEditing();
    FillButtonList();
    RefreshButtonIcons();
    m_strEditName = m_strDefaultName[0];
    m_strEditTitle = m_strDefaultTitle[0];
    UpdateData(FALSE);
}
