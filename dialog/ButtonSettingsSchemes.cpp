// The settings dialog's schemes: the box that lists them, and saving, picking, adding and
// deleting them.
#include "dialog/ButtonSettingsDlg.h"
#include "config/SchemeFile.h"
#include "config/Schemes.h"

// The box lists the stored names in stored order as the user knows them.
void CButtonSettingsDlg::FillSchemeBox()
{
    CStringList schemes;
    ReadSchemeList(schemes);
    // Not drawn, nor its scroll bar, name by name.
    m_cbScheme.SendMessage(WM_SETREDRAW, FALSE);
    for (POSITION pos = schemes.GetHeadPosition(); pos;) {
        const CString& strStored = schemes.GetNext(pos);
        if (strStored.IsEmpty()) continue;
        m_cbScheme.AddString(ShownSchemeName(strStored, m_strMakerSchemeText));
    }
    m_cbScheme.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_cbScheme.m_hWnd, nullptr, TRUE);

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

CString CButtonSettingsDlg::GetSelectedSchemeText()
{
    const int nSel = m_cbScheme.GetCurSel();
    UpdateData(TRUE);
    CString str;
    if (nSel >= 0) m_cbScheme.GetLBText(nSel, str);
    return str;
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
        for (int i = 0; i < m_nButtonCount && i < kMaxButtons; i++)
            m_current.WriteAt(i, m_config[i]);
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
    config.SelectScheme(kMakerSchemeShown);
    m_strCurScheme = kMakerSchemeShown;
    return 1;
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
    m_previous.CopyFrom(m_current, m_nButtonCount);
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
        m_current.CopyFrom(m_default, m_nButtonCount);
    } else if (strPrevious == CString(m_strCurScheme).MakeUpper()) {
        m_current.CopyFrom(m_previous, m_nButtonCount);
    } else {
        strScheme = StoredSchemeName(strScheme, m_strMakerSchemeText);
        COwningPtrList<ButtonSetting> settings;
        LoadSchemeSettings(strScheme, settings);
        const int nCount = static_cast<int>(settings.GetCount());
        if (nCount == 0) {
            m_current.CopyFrom(m_default, m_nButtonCount);
        } else {
            // The picked scheme becomes the service's current one at once.
            m_config[0].SelectScheme(strScheme);
            for (int j = 0; j < nCount && j < kMaxButtons; j++)
                m_current.ReadAt(j, m_config[j]);
        }
    }

    const BOOL bEditable = !EqualNoCase(m_strLockState[0], kLocked);
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE})
        EnableItem(nID, bEditable);
    m_btnApply.EnableWindow(bEditable);
    if (m_bSetLock) m_btnApply.EnableWindow(m_strActiveScheme != kMakerSchemeShown);
    m_bSchemeRemovable = !EqualNoCase(strScheme, kMakerScheme);
    EnableItem(IDC_DELETE_SCHEME, m_bSchemeRemovable);

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
        m_current.CopyFrom(m_default, m_nButtonCount);
        for (int i = 0; i < m_nButtonCount && i < kMaxButtons && !m_bSetLock; i++)
            m_strLockState[i] = kUnlocked;
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
        !EqualNoCase(strName, kMakerSchemeShown) && !EqualNoCase(strName, m_strMakerSchemeText);
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
        SelectCurrentScheme(kMakerSchemeShown);
    }
    if (m_strActiveScheme != kMakerSchemeShown) m_strActiveScheme = kMakerSchemeShown;

    int nDefault = 0;
    for (int i = 0; i < m_cbScheme.GetCount(); i++) {
        CString strItem;
        m_cbScheme.GetLBText(i, strItem);
        if (strItem == kMakerSchemeShown) nDefault = i;
    }
    m_cbScheme.SetCurSel(nDefault);

    m_current.CopyFrom(m_default, m_nButtonCount);
    DisableEditing();
    FillButtonList();
    RefreshButtonIcons();
    m_strEditName = m_strDefaultName[0];
    m_strEditTitle = m_strDefaultTitle[0];
    UpdateData(FALSE);
}

// The system menu ends with the scheme file commands, greyed without a configuration service.
void CButtonSettingsDlg::AddSchemeFileCommands()
{
    const HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!hMenu) return;
    const UINT nFlags = MF_STRING | (m_config[0].HasInstance() ? 0 : MF_GRAYED);
    ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    for (const UINT nID : {IDS_EXPORT_SCHEMES, IDS_IMPORT_SCHEMES}) {
        CString strText;
        strText.LoadString(nID);
        ::AppendMenuW(hMenu, nFlags,
                      nID == IDS_EXPORT_SCHEMES ? IDM_EXPORT_SCHEMES : IDM_IMPORT_SCHEMES, strText);
    }
}

// Called for every system command: the scheme file commands are the dialog's, the rest go on to
// the system (the close box among them, which comes back as WM_CLOSE).
void CButtonSettingsDlg::OnSysCommand(UINT nID, LPARAM)
{
    const UINT nCommand = nID & 0xFFF0;
    if (nCommand == IDM_EXPORT_SCHEMES && m_config[0].HasInstance())
        ExportSchemes();
    else if (nCommand == IDM_IMPORT_SCHEMES && m_config[0].HasInstance())
        ImportSchemes();
    else
        Default();
}

namespace {

// The chosen file's path; empty when the dialog was cancelled.
CString PickSchemeFile(BOOL bOpen, CWnd* pParent)
{
    CString strFilter;
    strFilter.LoadString(IDS_SCHEME_FILES);
    const DWORD dwFlags =
        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
        (bOpen ? OFN_FILEMUSTEXIST
               : OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN | OFN_NOTESTFILECREATE);
    CFileDialog dlg(bOpen, L"kbschemes", nullptr, dwFlags, strFilter, pParent);
    if (dlg.DoModal() != IDOK) return CString();
    POSITION pos = dlg.GetStartPosition();
    return pos ? dlg.GetNextPathName(pos) : CString();
}

// A message of the scheme files, under the product's name as the dialog's questions have it.
int Message(CWnd* pParent, UINT nID, UINT nType, const CString& strArgument = CString())
{
    CString strFormat, strText, strCaption;
    strFormat.LoadString(nID);
    strText.Format(strFormat, static_cast<LPCWSTR>(strArgument));
    strCaption.LoadString(IDS_PRODUCT_NAME);
    return pParent->MessageBox(strText, strCaption, nType);
}

} // namespace

void CButtonSettingsDlg::ExportSchemes()
{
    const CString strPath = PickSchemeFile(FALSE, this);
    if (strPath.IsEmpty()) return;
    if (!WriteSchemeFile(strPath, FormatSchemeFile(CollectSchemes())))
        Message(this, IDS_EXPORT_FAILED, MB_OK | MB_ICONEXCLAMATION);
}

void CButtonSettingsDlg::ImportSchemes()
{
    const CString strPath = PickSchemeFile(TRUE, this);
    if (strPath.IsEmpty()) return;
    std::string bytes;
    std::vector<SchemeRecord> schemes;
    CString strName;
    const SchemeFileProblem problem = ReadSchemeFile(strPath, bytes)
                                          ? ParseSchemeFile(bytes, schemes, strName)
                                          : kSchemeFileBroken;
    if (problem != kSchemeFileRead) {
        Message(this,
                problem == kSchemeNameRefused ? IDS_IMPORT_NAME_REFUSED
                : problem == kSchemeNameTwice ? IDS_IMPORT_NAME_TWICE
                                              : IDS_IMPORT_BROKEN,
                MB_OK | MB_ICONEXCLAMATION, strName);
        return;
    }
    BOOL bReplace = FALSE;
    const std::vector<CString> stored = StoredAmong(schemes);
    if (!stored.empty()) {
        // A box taller than the screen would hide its buttons: the first names stand for the rest.
        const size_t kListed = 20;
        CString strList;
        for (size_t i = 0; i < stored.size() && i < kListed; i++)
            strList += stored[i] + L"\n";
        if (stored.size() > kListed) strList += L"...\n";
        bReplace = Message(this, IDS_IMPORT_REPLACE, MB_YESNO | MB_ICONQUESTION, strList) == IDYES;
    }
    const SchemeImport result = StoreSchemes(schemes, bReplace);
    for (const SchemeRecord& scheme : schemes)
        if (m_cbScheme.FindStringExact(-1, scheme.name) == CB_ERR)
            m_cbScheme.AddString(scheme.name);
    CString strFormat, strText, strCaption;
    strFormat.LoadString(IDS_IMPORT_DONE);
    strText.Format(strFormat, result.nSchemes, result.nSkipped);
    strCaption.LoadString(IDS_PRODUCT_NAME);
    MessageBox(strText, strCaption, MB_OK | MB_ICONINFORMATION);
}
