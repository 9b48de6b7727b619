#include "dialog/ButtonSettingsDlg.h"
#include "config/Schemes.h"
#include "config/Settings.h"
#include "shell/TargetIcons.h"

BEGIN_MESSAGE_MAP(CButtonSettingsDlg, CDialog)
END_MESSAGE_MAP()

namespace {

const WCHAR kTooManyButtons[] = L"Initialization file has too many buttons in button list";
const WCHAR kUnlocked[] = L"UNLOCKED";
const WCHAR kLocked[] = L"LOCK";

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
    // Each comma ends an entry and what follows the last one is one more, even when empty.
    CButtonConfig config;
    const CString strList = config.GetButtonList();
    CStringArray ids;
    int nStart = 0;
    for (int nComma; (nComma = strList.Find(L',', nStart)) >= 0; nStart = nComma + 1)
        ids.Add(strList.Mid(nStart, nComma - nStart));
    ids.Add(strList.Mid(nStart));
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
        if (m_strButtonName[i].IsEmpty()) m_strButtonName[i] = m_strDefaultName[i];
        m_strTarget[i] = MendHelpCentreTarget(ReadButtonTarget(m_strActiveScheme, i));
        if (m_strTarget[i].IsEmpty()) m_strTarget[i] = m_strDefaultTarget[i];
        m_strAssignTitle[i] = ReadButtonTitle(m_strActiveScheme, i);
        if (m_strAssignTitle[i].IsEmpty()) m_strAssignTitle[i] = m_strDefaultTitle[i];
        m_strLockState[i] = ReadButtonLock(m_strActiveScheme, i);
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

CButtonConfig& CButtonSettingsDlg::ConfigAt(int& nPos)
{
    if (nPos >= m_nButtonCount) nPos = m_nButtonCount - 1;
    if (nPos < 0) nPos = 0;
    if (nPos >= kMaxButtons) nPos = kMaxButtons - 1;
    return m_config[nPos];
}

CString CButtonSettingsDlg::ReadButtonName(const CString& strScheme, int nPos)
{
    CButtonConfig& config = ConfigAt(nPos);
    config.SelectScheme(strScheme);
    return config.GetName();
}

CString CButtonSettingsDlg::ReadButtonTitle(const CString& strScheme, int nPos)
{
    CButtonConfig& config = ConfigAt(nPos);
    config.SelectScheme(strScheme);
    return config.GetTitle();
}

CString CButtonSettingsDlg::ReadButtonTarget(const CString& strScheme, int nPos)
{
    CButtonConfig& config = ConfigAt(nPos);
    config.SelectScheme(strScheme);
    return config.GetTarget();
}

CString CButtonSettingsDlg::ReadButtonLock(const CString& strScheme, int nPos)
{
    CButtonConfig& config = ConfigAt(nPos);
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
