// "Browse..." of the assignment menu: the system's Open dialog on the Favorites folder, driven as a
// user does it, and what the assignment edit then holds.
#include "DialogTest.h"

#include <atomic>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

namespace {

const WCHAR kShellFolders[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Waits on a thread of its own for the Open dialog the dialog's thread shows, then types a path
// and Enter into its name box, or presses Escape when the path is empty. It waits until the
// dialog's thread asks whether the dialog came: that thread is back from the menu command then.
class COpenDialogDriver
{
public:
    COpenDialogDriver(HWND hOwner, std::wstring strPath)
        : m_hOwner(hOwner), m_strPath(std::move(strPath)), m_thread([this] { Drive(); })
    {
    }
    ~COpenDialogDriver() { Shown(); }
    bool Shown()
    {
        m_bStop = true;
        if (m_thread.joinable()) m_thread.join();
        return m_bShown;
    }

private:
    void Drive()
    {
        HWND hDialog = nullptr;
        for (; !hDialog && !m_bStop; ::Sleep(25))
            for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32770", nullptr));)
                if (::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER) == m_hOwner) hDialog = h;
        if (!hDialog) return;
        // Explorer-style dialogs keep the name in combo box cmb13, with an edit inside it.
        const HWND hNameBox = ::GetDlgItem(hDialog, cmb13);
        for (DWORD dwStart = ::GetTickCount(); ::GetTickCount() - dwStart < 5000; ::Sleep(25)) {
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(hDialog, nullptr), &info);
            if (hNameBox && (info.hwndFocus == hNameBox || ::IsChild(hNameBox, info.hwndFocus)))
                break;
        }
        m_bShown = true;
        if (m_strPath.empty()) {
            PressKeys({VK_ESCAPE});
            return;
        }
        TypeText(m_strPath.c_str());
        PressKeys({VK_RETURN});
    }

    HWND m_hOwner;
    std::wstring m_strPath;
    std::atomic<bool> m_bStop{false};
    bool m_bShown = false;
    std::thread m_thread;
};

class FileBrowseTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        // The user's real Favorites folder, as the shell makes and records it.
        WCHAR szFolder[MAX_PATH] = {};
        ::SHGetFolderPathW(nullptr, CSIDL_FAVORITES | CSIDL_FLAG_CREATE, nullptr, 0, szFolder);
        m_strFavorites = szFolder;
        const CRegKey key(HKEY_CURRENT_USER, kShellFolders, KEY_READ);
        m_strSaved = key.QueryString(L"Favorites", 8192);
        SetFavorites(m_strFavorites);
        for (LPCWSTR pszName : {L"News.url", L"Weather.url", L"Mail.url"}) {
            const CString strFile = m_strFavorites + L"\\" + pszName;
            ::WritePrivateProfileStringW(L"InternetShortcut", L"URL", L"http://example.com/",
                                         strFile);
        }
    }
    void TearDown() override
    {
        if (m_strSaved.IsEmpty())
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites");
        else
            SetFavorites(m_strSaved);
        DialogTest::TearDown();
    }
    static void SetFavorites(const CString& strFolder)
    {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites", REG_SZ, strFolder,
                          (strFolder.GetLength() + 1) * sizeof(WCHAR));
    }
    // Picks "Browse..." from the real menu, then answers the Open dialog with a path (or Escape).
    bool Browse(const std::wstring& strPath)
    {
        const HWND hDlg = m_pDlg->m_hWnd;
        ::SetForegroundWindow(hDlg);
        // Now and then Wine's menu closes without a command when it opens right after another
        // dialog of the thread has gone: the user would open it again.
        for (int nTry = 0; nTry < 3; nTry++) {
            COpenDialogDriver openDialog(hDlg, strPath);
            {
                // Up goes round to the last item.
                CMenuDriver menu({VK_UP, VK_RETURN});
                ::SendMessageW(::GetDlgItem(hDlg, IDC_BROWSE), BM_CLICK, 0, 0);
            }
            Pump(hDlg);
            if (openDialog.Shown()) return true;
        }
        return false;
    }
    CString TitleEdit() const
    {
        WCHAR szText[512] = {};
        ::GetDlgItemTextW(m_pDlg->m_hWnd, IDC_EDIT_TITLE, szText, ARRAYSIZE(szText));
        return szText;
    }

    CString m_strFavorites, m_strSaved;
};

} // namespace

TEST_F(FileBrowseTest, AChosenFileGoesIntoTheAssignmentEditQuotedWhenItHasBlanks)
{
    Store();
    CButtonSettingsDlg& dlg = Open();
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    ClickRow(dlg.m_lstButtons.m_hWnd, 2);
    Pump(dlg.m_hWnd);

    // An Internet shortcut of the Favorites folder: the shortcut file itself.
    const CString strShortcut = m_strFavorites + L"\\News.url";
    ASSERT_TRUE(Browse(strShortcut.str()));
    EXPECT_EQ(TitleEdit(), strShortcut);
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, IDC_EDIT_TITLE));
    // Leaving the edit makes the path the button's target.
    ::SetFocus(dlg.m_lstButtons.m_hWnd);
    Pump(dlg.m_hWnd);
    EXPECT_EQ(dlg.m_strTarget[2], strShortcut);
    EXPECT_EQ(dlg.m_strAssignTitle[2], strShortcut);

    // A program in a folder with a blank: quoted.
    WCHAR szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    const CString strFolder = CString(szTemp) + L"browse test";
    ::CreateDirectoryW(strFolder, nullptr);
    const CString strProgram = strFolder + L"\\tool.exe";
    ::WritePrivateProfileStringW(L"not", L"a", L"program", strProgram);
    ClickRow(dlg.m_lstButtons.m_hWnd, 1);
    Pump(dlg.m_hWnd);
    ASSERT_TRUE(Browse(strProgram.str()));
    EXPECT_EQ(TitleEdit(), L'"' + strProgram + L'"');
    ::SetFocus(dlg.m_lstButtons.m_hWnd);
    Pump(dlg.m_hWnd);
    EXPECT_EQ(dlg.m_strTarget[1], L'"' + strProgram + L'"');
}

TEST_F(FileBrowseTest, CancelKeepsTheTextButStillCountsAsAChange)
{
    Store();
    CButtonSettingsDlg& dlg = Open();
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    ASSERT_FALSE(dlg.m_bModified);
    ASSERT_TRUE(Browse(L""));
    EXPECT_EQ(TitleEdit(), L"Information URL");
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, IDC_EDIT_TITLE));
    EXPECT_EQ(dlg.m_strTarget[0], L"http://info.example/");

    // A Favorites folder that is not there, and one of a wrong type: the dialog still opens.
    SetFavorites(L"C:\\no such folder\\Favorites");
    ASSERT_TRUE(Browse(L""));
    EXPECT_EQ(TitleEdit(), L"Information URL");
    const DWORD dwWrong = 7;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites", REG_DWORD, &dwWrong, 4);
    ASSERT_TRUE(Browse(L""));
    EXPECT_EQ(TitleEdit(), L"Information URL");
}
