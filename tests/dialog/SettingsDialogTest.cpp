// The main settings dialog, created modeless with its real controls, over the real stand-ins.
#include "DialogTest.h"
#include "SettingsDialog.h"
#include "Undo.h"
#include "IconPixels.h"
#include "StringPrinter.h"
#include "UserInput.h"
#include "config/Schemes.h"
#include "dialog/ButtonSettingsDlg.h"
#include "shell/TargetIcons.h"

#include <fstream>
#include <gtest/gtest.h>
#include <vector>

class SettingsDialogTest : public DialogTest
{
};

TEST_F(SettingsDialogTest, SetsAndRowsHoldTheServiceButtons)
{
    CButtonConfig& service = Store();
    service.AddScheme(L"Work");
    service.SelectScheme(L"Work");
    service.SetButtonId(L"102");
    service.SetName(L"My Home");
    service.SetTitle(L"http://mine.example/");
    service.SetTarget(L"http://mine.example/");
    service.SetButtonId(L"103");
    service.SetTitle(L"Help centre"); // an empty title would take the default target
    service.SetTarget(L"C:\\Nowhere\\helpctr.exe -mode x");
    service.SetLockState(L"lock");

    CButtonSettingsDlg& dlg = Open();
    EXPECT_EQ(dlg.m_nButtonCount, 11);
    EXPECT_EQ(dlg.m_strDefaultName[1], L"Home");
    EXPECT_EQ(dlg.m_strDefaultTitle[1], L"Home URL");
    EXPECT_EQ(dlg.m_strDefaultTarget[3], L"KVKMail");
    EXPECT_EQ(dlg.m_strDefaultName[8], L"VolumeUp");
    EXPECT_EQ(dlg.m_strDefaultLock[8], L"LOCK");
    EXPECT_EQ(dlg.m_strDefaultName[2], L"") << "a listed button without settings";

    EXPECT_EQ(dlg.m_strButtonName[1], L"My Home");
    EXPECT_EQ(dlg.m_strTarget[1], L"http://mine.example/");
    EXPECT_EQ(dlg.m_strButtonName[0], L"Information") << "empty: the default set's";
    EXPECT_EQ(dlg.m_strAssignTitle[0], L"Information URL");
    WCHAR szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    EXPECT_EQ(dlg.m_strTarget[2], CString(szWindows) + L"\\Help\\windows.chm");
    EXPECT_EQ(dlg.m_strLockState[2], L"LOCK");
    EXPECT_EQ(dlg.m_strLockState[0], L"UNLOCKED");
    EXPECT_EQ(ReadCurrentScheme(), L"Work") << "loading leaves the current scheme as it was";

    ASSERT_EQ(dlg.m_lstButtons.GetItemCount(), 11);
    EXPECT_EQ(dlg.m_lstButtons.GetItemText(1, 0), L"My Home");
    EXPECT_EQ(dlg.m_lstButtons.GetItemText(3, 1), L"Launch eMail");
    EXPECT_EQ(dlg.m_lstButtons.GetItemImage(3, 0), 6);
    EXPECT_EQ(dlg.m_lstButtons.GetItemImage(3, 1), 7);
    EXPECT_EQ(dlg.m_lstButtons.GetItemState(0, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(dlg.m_nCurSel, 0);
    EXPECT_TRUE(IsEnabled(IDC_DELETE_SCHEME)) << "Work is removable";
    EXPECT_TRUE(dlg.m_bSchemeRemovable);
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
    EXPECT_TRUE(IsEnabled(IDC_EDIT_NAME));
}

TEST_F(SettingsDialogTest, SchemeBoxShowsStoredNamesAndSelectsTheActiveOne)
{
    const struct
    {
        std::vector<LPCWSTR> added;
        LPCWSTR pszCurrent;
        int nSelected;
    } cases[] = {
        {{L"Work00000000", L"Homework", L"Home"}, L"Home", 2}, // a later item begins with it
        {{L"Work00000000", L"Home"}, L"Work00000000", 1},
        {{L"Home"}, L"QUELDA", 0},
        {{L"Home"}, L"Elsewhere", -1}, // not in the box: no current item
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCurrent);
        CButtonConfig& service = Store();
        for (LPCWSTR pszName : c.added)
            service.AddScheme(pszName);
        service.SelectScheme(c.pszCurrent);
        CButtonSettingsDlg& dlg = Open();
        std::vector<CString> expected = {L"Quelda"};
        for (LPCWSTR pszName : c.added)
            expected.push_back(ShownSchemeName(pszName, L"Quelda"));
        EXPECT_EQ(SchemeBoxItems(), expected);
        EXPECT_EQ(dlg.m_cbScheme.GetCurSel(), c.nSelected);
        EXPECT_EQ(IsEnabled(IDC_DELETE_SCHEME), c.nSelected != 0);
        delete m_pDlg;
        m_pDlg = nullptr;
    }
}

TEST_F(SettingsDialogTest, TrayValueAndALockedFirstButtonSetTheStartingStates)
{
    DWORD dwSaved = 0, cb = sizeof(dwSaved);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwSaved, &cb);
    const DWORD dwOne = 1;
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwOne, 4);
    Store("buttons=201,101\n201|VolumeUp|VolumeUpVal|VOLUME_UP|lock\n");
    CButtonSettingsDlg& dlg = Open();
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwSaved, 4);

    EXPECT_EQ(dlg.m_chkTray.GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg.m_strLockState[0], L"LOCK");
    for (int nID : {IDC_EDIT_NAME, IDC_EDIT_TITLE, IDC_BROWSE, IDC_APPLY, IDC_DELETE_SCHEME})
        EXPECT_FALSE(IsEnabled(nID)) << nID;
    EXPECT_FALSE(dlg.m_bSchemeRemovable);
}

TEST_F(SettingsDialogTest, RebuildKeepsTheEditsAndTheImagesOfNineButtons)
{
    for (const char* pszDefaults : {kDefaults, "buttons=101,102\n101|Mail|eMailVal|KVKMail|\n"}) {
        Store(pszDefaults);
        CButtonSettingsDlg& dlg = Open();
        EXPECT_EQ(ImageList_GetImageCount(*dlg.m_pSmallImages), 30) << "nine buttons, always";
        EXPECT_EQ(::SendMessageW(dlg.m_lstButtons.m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                  reinterpret_cast<LRESULT>(dlg.m_pSmallImages->m_hImageList));
        EXPECT_EQ(dlg.m_lstButtons.GetExtendedStyle(),
                  static_cast<DWORD>(LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT |
                                     LVS_EX_ONECLICKACTIVATE));

        ::SetDlgItemTextW(dlg.m_hWnd, IDC_EDIT_NAME, L"typed name");
        ::SetDlgItemTextW(dlg.m_hWnd, IDC_EDIT_TITLE, L"typed title");
        dlg.FillButtonList();
        for (int i = 0; i < dlg.m_lstButtons.GetItemCount(); i++)
            EXPECT_EQ(dlg.m_lstButtons.GetItemState(i, LVIS_SELECTED), 0u) << i;
        WCHAR szText[32] = {};
        ::GetDlgItemTextW(dlg.m_hWnd, IDC_EDIT_NAME, szText, ARRAYSIZE(szText));
        EXPECT_STREQ(szText, L"typed name");
        ::GetDlgItemTextW(dlg.m_hWnd, IDC_EDIT_TITLE, szText, ARRAYSIZE(szText));
        EXPECT_STREQ(szText, L"typed title");
        const int nLast = dlg.m_lstButtons.GetItemCount() - 1;
        EXPECT_EQ(dlg.m_lstButtons.GetItemImage(nLast, 0), 2 * nLast);
        EXPECT_EQ(dlg.m_lstButtons.GetItemImage(nLast, 1), 2 * nLast + 1);
        delete m_pDlg;
        m_pDlg = nullptr;
    }
}

TEST_F(SettingsDialogTest, OkSavesTheTrayChoiceAndStartsOrStopsTheTrayProgram)
{
    const WCHAR kTray[] = L"Quelda Kivora System Tray Window";
    DWORD dwSaved = 0, cb = sizeof(dwSaved);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwSaved, &cb);
    auto trayValue = [&] {
        DWORD dw = 99, cbValue = sizeof(dw);
        ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                       &dw, &cbValue);
        return dw;
    };
    auto waitFor = [&](bool bPresent, int nRounds = 100) {
        for (int i = 0; i < nRounds && (::FindWindowW(nullptr, kTray) != nullptr) != bPresent; i++)
            Pump(m_pDlg && ::IsWindow(m_pDlg->m_hWnd) ? m_pDlg->m_hWnd : nullptr, 50);
        return (::FindWindowW(nullptr, kTray) != nullptr) == bPresent;
    };
    Store();
    CButtonSettingsDlg& dlg = Open();
    dlg.m_chkTray.SetCheck(BST_CHECKED);
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    EXPECT_EQ(trayValue(), 1u);
    EXPECT_TRUE(waitFor(true)) << "the tray program started";
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor(true));

    dlg.m_chkTray.SetCheck(BST_UNCHECKED);
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_OK_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(trayValue(), 0u);
    EXPECT_TRUE(waitFor(false)) << "asked to end";
    EXPECT_FALSE(::IsWindow(dlg.m_hWnd)) << "OK ends the dialog";

    // Without the key nothing is written and nothing started, but the scheme is saved.
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTrayKey);
    delete m_pDlg;
    CButtonSettingsDlg& second = Open();
    second.m_chkTray.SetCheck(BST_CHECKED);
    second.m_strCurScheme = L"Saved here";
    ::SendMessageW(::GetDlgItem(second.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    EXPECT_EQ(trayValue(), 99u);
    EXPECT_FALSE(waitFor(true, 20));
    EXPECT_EQ(ReadCurrentScheme(), L"Saved here");
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwSaved, 4);
}

TEST_F(SettingsDialogTest, TheAssignmentMenuAsAUserPicksFromIt)
{
    // The mail client whose icon "Launch eMail" shows: the prefix's notepad, registered as one.
    WCHAR szNotepad[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%SystemRoot%\\notepad.exe", szNotepad, MAX_PATH);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail", nullptr, REG_SZ, L"Pad", 8);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail\\Pad\\shell\\open\\command",
                      nullptr, REG_SZ, szNotepad,
                      static_cast<DWORD>((wcslen(szNotepad) + 1) * sizeof(WCHAR)));
    Store();
    CButtonSettingsDlg& dlg = Open();
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    ClickRow(dlg.m_lstButtons.m_hWnd, 7);
    Pump(dlg.m_hWnd);
    {
        // Down four times: the fourth item, "Launch eMail".
        CMenuDriver driver({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_BROWSE), BM_CLICK, 0, 0);
        const std::vector<std::wstring> expected = {
            L"32771 Information URL",    L"32772 Home URL",      L"32773 Search URL",
            L"32774 Launch eMail",       L"32775 Community URL", L"32776 Market Monitor URL",
            L"32777 Meeting Center URL", L"32778 News URL",      L"32780 Volume Up",
            L"32781 Volume Down",        L"32782 Mute",          L"0 ",
            L"32779 Browse..."};
        EXPECT_EQ(driver.Items(), expected);
    }
    Pump(dlg.m_hWnd);
    EXPECT_EQ(dlg.m_strAssignTitle[7], L"Launch eMail");
    EXPECT_EQ(dlg.m_strTarget[7], L"KVKMail") << "not the default target of position 3";
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_TRUE(dlg.m_bTitleFromMenu);
    EXPECT_EQ(dlg.m_lstButtons.GetItemText(7, 1), L"Launch eMail");
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, IDC_EDIT_TITLE));
    // Compared through an image list of its own, which scales the icon the same way.
    HIMAGELIST hExpected = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON hPad = GetTargetIcon(szNotepad, L"");
    ImageList_ReplaceIcon(hExpected, -1, hPad);
    HICON hMail = ImageList_GetIcon(*dlg.m_pSmallImages, 15, ILD_NORMAL);
    HICON hPadImage = ImageList_GetIcon(hExpected, 0, ILD_NORMAL);
    EXPECT_EQ(IconPixels(hMail), IconPixels(hPadImage)) << "the mail client's icon";
    for (HICON hIcon : {hMail, hPad, hPadImage})
        ::DestroyIcon(hIcon);
    ImageList_Destroy(hExpected);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail");

    // The help layout, with the community variant at its fifth place; Escape picks nothing.
    dlg.m_layout.m_bHelpLayout = TRUE;
    dlg.m_layout.m_bCommunityLayout = TRUE;
    CMenuDriver driver({VK_ESCAPE});
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_BROWSE), BM_CLICK, 0, 0);
    const std::vector<std::wstring> items = driver.Items();
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(items[1], L"32783 Help");
    EXPECT_EQ(items[4], L"32788 Community");
    EXPECT_EQ(items[7], L"32787 Shopping Cart");
    Pump(dlg.m_hWnd);
    EXPECT_EQ(dlg.m_strAssignTitle[7], L"Launch eMail");
}

TEST_F(SettingsDialogTest, HelpButtonAndF1OpenTheHelpPage)
{
    // The prefix's handler of web pages becomes a recorder for a while.
    WCHAR szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    const CString strRecord = CString(szTemp) + L"help-opened.txt";
    const std::wstring command = L"\"" + std::wstring(WinePath(RECORDER_PATH)) + L"\" \"" +
                                 strRecord.GetString() + L"\" \"%1\"";
    CRegKey html(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.html", KEY_READ);
    const CString strSaved = html.QueryString(nullptr, 520);
    html.Close();
    auto setDefault = [](LPCWSTR pszKey, LPCWSTR pszValue) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, pszKey, nullptr, REG_SZ, pszValue,
                          static_cast<DWORD>((wcslen(pszValue) + 1) * sizeof(WCHAR)));
    };
    setDefault(L"Software\\Classes\\.html", L"KvTest.Help");
    setDefault(L"Software\\Classes\\KvTest.Help\\shell\\open\\command", command.c_str());
    // The dialog keeps handling its messages (F1 among them) while the handler is awaited.
    HWND hDlg = nullptr;
    auto recorded = [&] {
        for (int i = 0; i < 100 && ::GetFileAttributesW(strRecord) == INVALID_FILE_ATTRIBUTES; i++)
            Pump(hDlg, 50);
        Pump(hDlg, 100);
        std::wifstream in(strRecord.GetString());
        std::wstring line;
        std::getline(in, line);
        in.close();
        ::DeleteFileW(strRecord);
        return line;
    };

    CWinApp app;
    const std::wstring helpPage = app.m_pszHelpFilePath;
    EXPECT_NE(helpPage.find(L".html"), std::wstring::npos);
    std::ofstream(helpPage.c_str()) << "<p>help</p>"; // the program has its page beside it
    Store();
    CButtonSettingsDlg& dlg = Open();
    hDlg = dlg.m_hWnd;
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_HELP_BUTTON), BM_CLICK, 0, 0);
    EXPECT_NE(recorded().find(helpPage), std::wstring::npos) << "the Help button";
    // F1 reaches the dialog as WM_HELP from the focused control. (The key itself, sent through
    // the X server, is lost now and then on a busy machine without a window manager.)
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_EDIT_NAME;
    info.hItemHandle = ::GetDlgItem(dlg.m_hWnd, IDC_EDIT_NAME);
    EXPECT_EQ(::SendMessageW(dlg.m_hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
    const std::wstring line = recorded();
    EXPECT_NE(line.find(helpPage), std::wstring::npos) << "F1";

    setDefault(L"Software\\Classes\\.html", strSaved);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KvTest.Help");
    ::DeleteFileW(helpPage.c_str());
}

TEST_F(SettingsDialogTest, DISABLED_MenuWithoutVolumeEntries)
{
    Store();
    CButtonSettingsDlg& dlg = Open();
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    CMenuDriver driver({VK_ESCAPE});
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_BROWSE), BM_CLICK, 0, 0);
    const std::vector<std::wstring> items = driver.Items();
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[7], L"32778 News URL");
    EXPECT_EQ(items[9], L"32779 Browse...");
}

TEST(SettingsDialogVersionTest, OlderWindowsHaveNoVolumeEntries)
{
    const std::wstring key = L"Software\\Wine\\AppDefaults\\dialog_tests.exe";
    std::vector<LPCWSTR> versions = {L"nt40"};
    if (sizeof(void*) == 4) versions.push_back(L"win98"); // the 9x family for 32-bit programs
    for (LPCWSTR pszVersion : versions) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, pszVersion,
                          static_cast<DWORD>((wcslen(pszVersion) + 1) * sizeof(WCHAR)));
        const DWORD dwExit = RunOwnTest(L"SettingsDialogTest.DISABLED_MenuWithoutVolumeEntries");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        EXPECT_EQ(dwExit, 0u) << pszVersion;
    }
}

TEST_F(SettingsDialogTest, OkOnTheDefaultSchemeStoresOnlyTheTraySetting)
{
    DWORD dwSaved = 0, cb = sizeof(dwSaved);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwSaved, &cb);
    const DWORD dwOne = 1;
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwOne, 4);
    Store();
    CButtonSettingsDlg& dlg = Open();
    dlg.m_strCurScheme = L"quelda";
    dlg.m_strAssignTitle[0] = L"http://changed.example/";
    dlg.m_strTarget[0] = L"http://changed.example/";
    dlg.m_chkTray.SetCheck(BST_UNCHECKED);
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_OK_BUTTON), BM_CLICK, 0, 0);
    DWORD dwTray = 99;
    cb = sizeof(dwTray);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwTray, &cb);
    EXPECT_EQ(dwTray, 0u);
    EXPECT_EQ(Stored(L"QUELDA", L"101", &CButtonConfig::GetTarget), L"http://info.example/");
    EXPECT_EQ(ReadCurrentScheme(), L"QUELDA");
    EXPECT_FALSE(dlg.m_bModified);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwSaved, 4);
}

TEST_F(SettingsDialogTest, AMissingTrayProgramStillLeavesTheChoiceAndTheSchemeStored)
{
    WCHAR szFolder[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%\\Quelda\\Kivora Button Support\\", szFolder,
                                MAX_PATH);
    const std::wstring tray = std::wstring(szFolder) + L"ZRQKVKSYSTEMTRAY.EXE";
    ASSERT_TRUE(::MoveFileExW(tray.c_str(), (tray + L".away").c_str(), MOVEFILE_REPLACE_EXISTING));
    DWORD dwSaved = 0, cb = sizeof(dwSaved);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwSaved, &cb);
    Store();
    CButtonSettingsDlg& dlg = Open();
    dlg.m_chkTray.SetCheck(BST_CHECKED);
    dlg.m_strCurScheme = L"Mine";
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_APPLY), BM_CLICK, 0, 0);
    DWORD dwTray = 99;
    cb = sizeof(dwTray);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr,
                   &dwTray, &cb);
    EXPECT_EQ(dwTray, 1u);
    EXPECT_EQ(::FindWindowW(nullptr, L"Quelda Kivora System Tray Window"), nullptr);
    EXPECT_EQ(ReadCurrentScheme(), L"Mine");
    EXPECT_EQ(Stored(L"Mine", L"104", &CButtonConfig::GetTarget), L"KVKMail");
    ::MoveFileW((tray + L".away").c_str(), tray.c_str());
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, &dwSaved, 4);
}

TEST_F(SettingsDialogTest, TabVisitsEveryEnabledControlInTheTemplatesOrder)
{
    Store();
    CButtonSettingsDlg& dlg = Open();
    const HWND hDlg = dlg.m_hWnd;
    ::ShowWindow(hDlg, SW_SHOW);
    ::SetForegroundWindow(hDlg);
    ::SetFocus(::GetDlgItem(hDlg, IDC_SCHEME_BOX));
    Pump(hDlg);
    // The box's edit takes the focus for the box.
    auto focused = [hDlg] {
        HWND hFocus = ::GetFocus();
        if (hFocus && ::GetParent(hFocus) != hDlg) hFocus = ::GetParent(hFocus);
        return ::GetDlgCtrlID(hFocus);
    };
    std::vector<int> order = {focused()};
    for (int i = 0; i < 14; i++) {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        ::PostMessageW(::GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
        Pump(hDlg, 50);
        order.push_back(focused());
    }
    // Delete is off on the maker's scheme; after Apply the round starts again.
    EXPECT_FALSE(IsEnabled(IDC_DELETE_SCHEME));
    const std::vector<int> expected = {
        IDC_SCHEME_BOX,    IDC_ADD_SCHEME, IDC_BUTTON_LIST, IDC_EDIT_NAME,   IDC_EDIT_TITLE,
        IDC_BROWSE,        IDC_TRAY_CHECK, IDC_ABOUT,       IDC_HELP_BUTTON, IDC_OK_BUTTON,
        IDC_CANCEL_BUTTON, IDC_APPLY,      IDC_SCHEME_BOX,  IDC_ADD_SCHEME,  IDC_BUTTON_LIST};
    EXPECT_EQ(order, expected);
}

// A row picked, renamed and given a website, applied, then changed and dropped with Escape. A new
// name alone shows in the list only at the next rebuild; the first Apply writes every position
// into the service's current scheme as the dialog shows it.
TEST(SettingsDialogSessionTest, SelectTypeLeaveApplyEscape)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CButtonConfig().GetButtonList();
    CSettingsDialog dlg;
    RunSession(dlg, "row 1; expect name \"Home\"; name \"Find, 100%\"; expect row 1 0 \"Home\"; "
                    "target \"http://find.example/\"; expect row 1 0 \"Find, 100%\"; "
                    "expect row 1 1 \"http://find.example/\"; press Apply; "
                    "expect stored QUELDA 102 Target \"http://find.example/\"; "
                    "expect stored QUELDA 102 Name \"Find, 100%\"; "
                    "expect stored QUELDA 101 Title \"Information URL\"; "
                    "target \"C:\\\\discarded.exe\"; key Escape; expect closed; "
                    "expect stored QUELDA 102 Target \"http://find.example/\"");
    ::CoUninitialize();
}

// A click locks a button with an empty lock only in set-lock mode, which with the box and the
// service on the default scheme also disables Apply; LOCK is locked in both modes. Down on the last
// row keeps it, Up goes back (passing the dialog's own, empty, scheme name: Apply comes back on),
// any other key loads the first button.
TEST(SettingsDialogSessionTest, ArrowKeysAndTheSetLockModes)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(
        "buttons=101,102,103\n101|Information|InformationVal|http://i.example/|UNLOCKED\n"
        "102|Home|HomeVal|http://h.example/|\n103|Search|SearchVal|http://s.example/|LOCK\n");
    CButtonConfig().GetButtonList();
    const char* const kSessions[] = {
        "row 1; expect enabled Target Apply; row 2; expect disabled Name Browse; key Down; "
        "expect name \"Search\"; key Up; expect name \"Home\"; expect enabled Apply Target; "
        "key S; expect name \"Information\"; expect enabled Target",
        "row 1; expect disabled Target Apply; row 2; expect disabled Name Browse; key Down; "
        "expect name \"Search\"; key Up; expect name \"Home\"; expect enabled Apply; "
        "expect disabled Target; key S; expect name \"Information\"; expect enabled Target",
    };
    for (DWORD dwSetLock : {0u, 1u}) {
        CUndo undo;
        undo.SetDword(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM",
                      L"SetLock", dwSetLock);
        CSettingsDialog dlg;
        RunSession(dlg, kSessions[dwSetLock]);
    }
    ::CoUninitialize();
}
