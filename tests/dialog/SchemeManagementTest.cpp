// The scheme row of the settings dialog: picking, adding and deleting schemes with the real
// buttons, box and message boxes, over the real configuration service stand-in.
#include "DialogTest.h"
#include "StoredSchemes.h"
#include "UserInput.h"
#include "config/Schemes.h"

namespace {

class SchemeManagementTest : public DialogTest
{
protected:
    // The default scheme plus "Work" and "Lab]" (stored as "Lab00000000"), each with its own
    // first button; the service's current scheme is the default one.
    void StoreSchemes()
    {
        CButtonConfig& service = Store();
        for (LPCWSTR pszScheme : {L"Work", L"Lab00000000"}) {
            service.AddScheme(pszScheme);
            service.SelectScheme(pszScheme);
            service.SetButtonId(L"101");
            service.SetName(CString(pszScheme) + L" name");
            service.SetTitle(CString(L"http://") + pszScheme + L".example/");
            service.SetTarget(CString(L"http://") + pszScheme + L".example/");
            service.SetLockState(L"UNLOCKED");
        }
        service.SelectScheme(L"QUELDA");
    }
    // As the box reports a pick from its list.
    void Pick(LPCWSTR pszShown)
    {
        CComboBox& box = m_pDlg->m_cbScheme;
        box.SetCurSel(box.FindStringExact(-1, pszShown));
        ::SendMessageW(m_pDlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SCHEME_BOX, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box.m_hWnd));
    }
    void TypeAndPress(LPCWSTR pszName, int nButton)
    {
        m_pDlg->m_cbScheme.SetWindowText(pszName);
        ::SendMessageW(::GetDlgItem(m_pDlg->m_hWnd, nButton), BM_CLICK, 0, 0);
    }
    void ChangeFirstTarget(LPCWSTR pszTarget)
    {
        const HWND hDlg = m_pDlg->m_hWnd;
        ::SetFocus(::GetDlgItem(hDlg, IDC_EDIT_TITLE));
        ::SetDlgItemTextW(hDlg, IDC_EDIT_TITLE, pszTarget);
        ::SetFocus(m_pDlg->m_lstButtons.m_hWnd);
        Pump(hDlg);
    }
    CString EditText(int nID) const
    {
        WCHAR szText[256] = {};
        ::GetDlgItemTextW(m_pDlg->m_hWnd, nID, szText, ARRAYSIZE(szText));
        return szText;
    }
    CString BoxSelection() const
    {
        CString str;
        const int nSel = m_pDlg->m_cbScheme.GetCurSel();
        if (nSel >= 0) m_pDlg->m_cbScheme.GetLBText(nSel, str);
        return str;
    }
    void Restart()
    {
        delete m_pDlg;
        m_pDlg = nullptr;
        Open();
    }
};

} // namespace

TEST_F(SchemeManagementTest, PickingASchemeLoadsItWithoutAQuestionWhenNothingChanged)
{
    StoreSchemes();
    CButtonSettingsDlg& dlg = Open();
    ASSERT_EQ(SchemeBoxItems(), (std::vector<CString>{L"Quelda", L"Work", L"Lab]"}));
    {
        CMessageBoxAnswer none(IDYES, 300);
        Pick(L"Work");
        EXPECT_EQ(none.Text(), L"");
    }
    EXPECT_EQ(dlg.m_strCurScheme, L"Work");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Work name");
    EXPECT_EQ(dlg.m_strTarget[0], L"http://Work.example/");
    EXPECT_EQ(dlg.m_strButtonName[1], L"Home") << "an empty field takes the default set's";
    EXPECT_EQ(dlg.m_strLockState[1], L"UNLOCKED");
    EXPECT_EQ(ReadCurrentScheme(), L"Work") << "the service's current scheme at once";
    EXPECT_EQ(dlg.m_nCurSel, 0);
    EXPECT_EQ(EditText(IDC_EDIT_NAME), L"Work name");
    EXPECT_EQ(EditText(IDC_EDIT_TITLE), L"http://Work.example/");
    EXPECT_EQ(dlg.m_lstButtons.GetItemText(0, 1), L"http://Work.example/");
    EXPECT_TRUE(IsEnabled(IDC_DELETE_SCHEME));
    EXPECT_TRUE(IsEnabled(IDC_APPLY));

    // A shown "]" is asked for as its stored form.
    Pick(L"Lab]");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Lab00000000 name");
    EXPECT_EQ(ReadCurrentScheme(), L"Lab00000000");

    // The default scheme is the default set; the service is not told.
    Pick(L"Quelda");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Information");
    EXPECT_EQ(dlg.m_strAssignTitle[0], L"Information URL");
    EXPECT_EQ(ReadCurrentScheme(), L"Lab00000000");
    EXPECT_FALSE(dlg.m_bSchemeRemovable);
    EXPECT_FALSE(IsEnabled(IDC_DELETE_SCHEME));
}

TEST_F(SchemeManagementTest, UnsavedChangesAreOfferedForSavingWhenAnotherSchemeIsPicked)
{
    StoreSchemes();
    CButtonSettingsDlg& dlg = Open();
    Pick(L"Work");
    ChangeFirstTarget(L"http://changed.example/");
    ASSERT_TRUE(dlg.m_bModified);

    // Cancel: the old scheme stays loaded and modified while the box shows the picked name.
    {
        CMessageBoxAnswer answer(IDCANCEL);
        Pick(L"Quelda");
        EXPECT_EQ(answer.Text(), L"Apply ?");
        EXPECT_EQ(answer.Caption(), L"Button Assignment");
    }
    EXPECT_EQ(BoxSelection(), L"Quelda");
    EXPECT_EQ(dlg.m_strCurScheme, L"Work");
    EXPECT_EQ(dlg.m_strTarget[0], L"http://changed.example/");
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(dlg.m_nCurSel, 0);
    EXPECT_EQ(EditText(IDC_EDIT_TITLE), L"http://changed.example/");

    // No: the changes are dropped.
    {
        CMessageBoxAnswer answer(IDNO);
        Pick(L"Quelda");
        EXPECT_EQ(answer.Text(), L"Apply ?");
    }
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(dlg.m_strTarget[0], L"http://info.example/");
    EXPECT_EQ(Stored(L"Work", L"101", &CButtonConfig::GetTarget), L"http://Work.example/");

    // Yes: the changes are stored under the old scheme before the new one loads.
    Pick(L"Work");
    ChangeFirstTarget(L"http://kept.example/");
    {
        CMessageBoxAnswer answer(IDYES);
        Pick(L"Lab]");
        EXPECT_EQ(answer.Text(), L"Apply ?");
    }
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(Stored(L"Work", L"101", &CButtonConfig::GetTarget), L"http://kept.example/");
    EXPECT_EQ(dlg.m_strCurScheme, L"Lab]");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Lab00000000 name");

    Restart();
    Pick(L"Work");
    EXPECT_EQ(m_pDlg->m_strTarget[0], L"http://kept.example/");
}

TEST_F(SchemeManagementTest, AddStartsACopyOfTheDefaultSchemeThatOnlySavingStores)
{
    StoreSchemes();
    CButtonSettingsDlg& dlg = Open();
    Pick(L"Work");

    // A name the box has, in other letters: nothing happens.
    TypeAndPress(L"wORK", IDC_ADD_SCHEME);
    EXPECT_EQ(SchemeBoxItems().size(), 3u);
    EXPECT_EQ(dlg.m_strCurScheme, L"Work");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Work name");

    TypeAndPress(L"Trip]1", IDC_ADD_SCHEME);
    EXPECT_EQ(SchemeBoxItems().back(), L"Trip]1");
    EXPECT_EQ(BoxSelection(), L"Trip]1");
    EXPECT_EQ(dlg.m_strCurScheme, L"Trip]1");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Information");
    EXPECT_EQ(dlg.m_strTarget[0], L"http://info.example/");
    EXPECT_EQ(dlg.m_strLockState[8], L"UNLOCKED") << "without the set lock, nothing is locked";
    // The edits are read back before they are written, so they keep what they showed.
    EXPECT_EQ(dlg.m_strEditName, L"Work name");
    EXPECT_EQ(EditText(IDC_EDIT_NAME), L"Work name");
    EXPECT_TRUE(IsEnabled(IDC_DELETE_SCHEME));
    EXPECT_TRUE(IsEnabled(IDC_EDIT_TITLE));
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA", L"Work", L"Lab00000000"}))
        << "unknown to the service until it is saved";

    ChangeFirstTarget(L"http://trip.example/");
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    EXPECT_EQ(StoredSchemes().back(), L"Trip000000001");
    EXPECT_EQ(Stored(L"Trip000000001", L"101", &CButtonConfig::GetTarget), L"http://trip.example/");

    // An empty name resets the set to the default one and adds nothing.
    TypeAndPress(L"", IDC_ADD_SCHEME);
    EXPECT_EQ(SchemeBoxItems().size(), 4u);
    EXPECT_EQ(m_pDlg->m_strCurScheme, L"");
    EXPECT_EQ(m_pDlg->m_strTarget[0], L"http://info.example/");

    // A stored scheme the box did not show comes back with its settings.
    m_pService->AddScheme(L"Late");
    m_pService->SelectScheme(L"Late");
    m_pService->SetButtonId(L"102");
    m_pService->SetName(L"Late home");
    TypeAndPress(L"late", IDC_ADD_SCHEME);
    EXPECT_EQ(SchemeBoxItems().back(), L"late");
    EXPECT_EQ(m_pDlg->m_strButtonName[1], L"Late home");

    Restart();
    EXPECT_EQ(SchemeBoxItems(),
              (std::vector<CString>{L"Quelda", L"Work", L"Lab]", L"Trip]1", L"Late"}));
}

TEST_F(SchemeManagementTest, ACommaInANameSplitsItOnceStored)
{
    StoreSchemes();
    CButtonSettingsDlg& dlg = Open();
    TypeAndPress(L"Home, away", IDC_ADD_SCHEME);
    EXPECT_EQ(SchemeBoxItems().back(), L"Home, away");
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    // The service lists its names separated by commas.
    Restart();
    EXPECT_EQ(SchemeBoxItems(),
              (std::vector<CString>{L"Quelda", L"Work", L"Lab]", L"Home", L" away"}));
    EXPECT_EQ(Stored(L"Home, away", L"101", &CButtonConfig::GetName), L"Information");
}

TEST_F(SchemeManagementTest, DeleteAsksThenRemovesTheSchemeAndShowsTheDefaultOne)
{
    StoreSchemes();
    CButtonSettingsDlg& dlg = Open();
    Pick(L"Work");
    {
        CMessageBoxAnswer none(IDYES, 300);
        TypeAndPress(L"Nowhere", IDC_DELETE_SCHEME);
        EXPECT_EQ(none.Text(), L"") << "a name the box does not have is not asked about";
    }
    dlg.m_cbScheme.SetCurSel(1);
    {
        CMessageBoxAnswer answer(IDNO);
        ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_DELETE_SCHEME), BM_CLICK, 0, 0);
        EXPECT_EQ(answer.Text(), L"Are you sure you want to remove the Scheme?");
        EXPECT_EQ(answer.Caption(), L"Quelda Kivora Button Software");
    }
    EXPECT_EQ(SchemeBoxItems().size(), 3u);
    EXPECT_EQ(StoredSchemes().size(), 3u);
    EXPECT_EQ(dlg.m_strButtonName[0], L"Work name");

    {
        CMessageBoxAnswer answer(IDYES);
        ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_DELETE_SCHEME), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(SchemeBoxItems(), (std::vector<CString>{L"Quelda", L"Lab]"}));
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA", L"Lab00000000"}));
    EXPECT_EQ(ReadCurrentScheme(), L"QUELDA") << "the service's spelling of the default scheme";
    EXPECT_EQ(Stored(L"Work", L"101", &CButtonConfig::GetName), L"");
    EXPECT_EQ(dlg.m_strActiveScheme, L"Quelda");
    EXPECT_EQ(BoxSelection(), L"Quelda");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Information");
    EXPECT_EQ(EditText(IDC_EDIT_NAME), L"Information");
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE, IDC_DELETE_SCHEME})
        EXPECT_FALSE(IsEnabled(nID)) << nID;

    // The default scheme typed over a picked one: the picked item leaves the box, the default
    // scheme stays stored.
    Pick(L"Lab]");
    ASSERT_TRUE(IsEnabled(IDC_DELETE_SCHEME));
    {
        CMessageBoxAnswer answer(IDYES);
        TypeAndPress(L"Quelda", IDC_DELETE_SCHEME);
    }
    EXPECT_EQ(SchemeBoxItems(), (std::vector<CString>{L"Quelda"}));
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA", L"Lab00000000"}));
    EXPECT_EQ(Stored(L"QUELDA", L"101", &CButtonConfig::GetName), L"Information");

    // A shown "]" removes the stored "00000000".
    Restart();
    Pick(L"Lab]");
    {
        CMessageBoxAnswer answer(IDYES);
        ::SendMessageW(::GetDlgItem(m_pDlg->m_hWnd, IDC_DELETE_SCHEME), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA"}));
    EXPECT_EQ(Stored(L"Lab00000000", L"101", &CButtonConfig::GetName), L"");

    Restart();
    EXPECT_EQ(SchemeBoxItems(), (std::vector<CString>{L"Quelda"}));
}
