// The built program as a user meets it: started, its dialog found by its title and looked at,
// used with real mouse and key input, closed with the close box or Escape.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "StringPrinter.h"
#include "UserInput.h"
#include "framework/String.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

TEST(UserSessionTest, TheDialogOpensShowsAndClosesWithItsCloseBox)
{
    ::CoInitialize(nullptr);
    {
        CEventServerProbe probe;
        ASSERT_TRUE(probe.IsConnected());
        probe.Reset();
        for (LPCWSTR pszParams : {L"", L"BUTTON=305"}) {
            SCOPED_TRACE(pszParams);
            const PROCESS_INFORMATION pi = StartProgram(PROGRAM_PATH, pszParams);
            ASSERT_NE(pi.hProcess, nullptr);
            const HWND hDlg = WaitForDialog(pi.dwProcessId, L"Kivora Buttons");
            ASSERT_NE(hDlg, nullptr) << "no dialog";
            EXPECT_EQ(probe.Counts().registrations, 49) << "listening while the dialog is open";
            ::UpdateWindow(hDlg);
            ::Sleep(300); // let the list paint
            if (!*pszParams) {
                EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR "/e2e-dialog.bmp")));
            }
            HWND hList = ::GetDlgItem(hDlg, 1000);
            EXPECT_EQ(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), 11);

            ::PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
            EXPECT_EQ(WaitForExit(pi), 0u);
            EXPECT_EQ(probe.Counts().registrations, 0);
            EXPECT_EQ(probe.Counts().connections, 0);
        }
    }
    ::CoUninitialize();
}

namespace {

PROCESS_INFORMATION Start()
{
    return StartProgram(PROGRAM_PATH);
}

// The started program's dialog; null, the program ended, when none showed.
HWND OpenedDialog(const PROCESS_INFORMATION& pi)
{
    HWND hDlg = WaitForDialog(pi.dwProcessId, L"Kivora Buttons");
    if (!hDlg) ::TerminateProcess(pi.hProcess, 99);
    return hDlg;
}

// Ends the program as a user ends it: Escape, which comes in the queue after the input before it.
DWORD EscapeAndWait(const PROCESS_INFORMATION& pi)
{
    PressKeys({VK_ESCAPE});
    return WaitForExit(pi);
}

// Waits up to five seconds for the control to show that text; what it shows then.
CString WaitForText(HWND hDlg, int nID, LPCWSTR pszText)
{
    CString str;
    for (int i = 0; i < 100 && (str = ItemText(hDlg, nID)) != pszText; i++)
        ::Sleep(50);
    return str;
}

// The third button chosen as a user chooses it: a click on the first row, then Down twice.
bool SelectThirdButton(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, 1000);
    for (int i = 0; i < 100 && ::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == 0; i++)
        ::Sleep(50);
    if (!ClickToFocus(hList, 40, 26)) return false;
    PressKeys({VK_DOWN, VK_DOWN});
    return ::SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 2;
}

} // namespace

TEST(UserSessionTest, AnAssignedWebsiteIsThereAfterARestart)
{
    CConfigServiceStore store;
    PROCESS_INFORMATION pi = Start();
    HWND hDlg = OpenedDialog(pi);
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(SelectThirdButton(hDlg));
    EXPECT_EQ(WaitForText(hDlg, 1001, L"Search"), L"Search");
    EXPECT_NE(ItemText(hDlg, 1005), L"www.kivora.example/search");

    // Into the assignment field, its text replaced by what the user types.
    HWND hEdit = ::GetDlgItem(hDlg, 1005);
    ASSERT_TRUE(ClickToFocus(hEdit, 5, 5));
    std::vector<WORD> keys(ItemText(hDlg, 1005).GetLength(), VK_BACK);
    keys.insert(keys.begin(), VK_END);
    PressKeys(keys);
    TypeText(L"www.kivora.example/search");
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/search"), L"www.kivora.example/search");
    ASSERT_TRUE(ClickToFocus(::GetDlgItem(hDlg, 1045), 10, 5)); // Apply
    ::Sleep(300);
    EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR "/e2e-assigned.bmp")));
    EXPECT_EQ(EscapeAndWait(pi), 0u);

    pi = Start();
    hDlg = OpenedDialog(pi);
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(SelectThirdButton(hDlg));
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/search"), L"www.kivora.example/search");
    EXPECT_EQ(EscapeAndWait(pi), 0u);
}

// The program in the user's language, which the test takes over from the locale it runs in: ctest
// runs it once in each of the languages below. A language without a table of its own (Arabic of
// Saudi Arabia, 1025) gets the English texts.
TEST(UserSessionTest, TheDialogSpeaksTheUsersLanguage)
{
    const struct
    {
        LANGID lang;
        LPCWSTR pszApply, pszTray;
    } languages[] = {
        {1033, L"Apply", L"Show icon in the System Tray"},
        {1031, L"Anwenden", L"Symbol im Infobereich anzeigen"},
        {1041, L"\x9069\x7528",
         L"\x901A\x77E5\x9818\x57DF\x306B\x30A2\x30A4\x30B3\x30F3\x3092"
         L"\x8868\x793A\x3059\x308B"},
        {4097, L"\x062A\x0637\x0628\x064A\x0642",
         L"\x0625\x0638\x0647\x0627\x0631 \x0627\x0644\x0631\x0645\x0632 \x0641\x064A "
         L"\x0645\x0646\x0637\x0642\x0629 \x0627\x0644\x0625\x0639\x0644\x0627\x0645\x0627\x062A"},
        {1025, L"Apply", L"Show icon in the System Tray"},
    };
    const LANGID lang = ::GetUserDefaultUILanguage();
    const auto* pLanguage = std::find_if(std::begin(languages), std::end(languages),
                                         [lang](const auto& l) { return l.lang == lang; });
    ASSERT_NE(pLanguage, std::end(languages)) << "a language the test does not know: " << lang;

    CConfigServiceStore store;
    PROCESS_INFORMATION pi = Start();
    HWND hDlg = OpenedDialog(pi);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(ItemText(hDlg, 1045), pLanguage->pszApply);
    EXPECT_EQ(ItemText(hDlg, 1071), pLanguage->pszTray);
    ::Sleep(300);
    WCHAR szShot[64];
    wsprintfW(szShot, L"\\e2e-language-%u.bmp", lang);
    EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR) + szShot));
    ::PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(pi), 0u);
}

namespace {

// Tab, as often as it takes, until the control has the focus; false when it never got it.
bool TabTo(HWND hWnd)
{
    for (int i = 0; i < 16; i++) {
        if (WaitForFocus(hWnd, 200)) return true;
        XdoKeys(L"Tab");
    }
    return false;
}

// Whether a popup menu of the process shows within five seconds.
bool WaitForMenu(DWORD dwProcessId)
{
    for (int i = 0; i < 100; i++, ::Sleep(50))
        for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32768", nullptr));) {
            DWORD dwOwner = 0;
            ::GetWindowThreadProcessId(h, &dwOwner);
            if (dwOwner == dwProcessId && ::IsWindowVisible(h)) return true;
        }
    return false;
}

// The third button chosen from the keyboard alone.
bool KeyToThirdButton(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, 1000);
    if (!TabTo(hList)) return false;
    XdoKeys(L"Home Down Down");
    return ::SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 2;
}

} // namespace

// Keys only, through the X server: Tab to the list, arrows to a button, the assignment menu, Tab to
// the assignment, a website typed, Enter, Escape. The next start shows the website.
TEST(UserSessionTest, AWebsiteAssignedWithTheKeyboardAloneIsKept)
{
    CConfigServiceStore store;
    PROCESS_INFORMATION pi = Start();
    HWND hDlg = OpenedDialog(pi);
    ASSERT_NE(hDlg, nullptr);
    for (int i = 0; i < 100 && ::GetForegroundWindow() != hDlg; i++)
        ::Sleep(50);
    ASSERT_TRUE(KeyToThirdButton(hDlg));
    EXPECT_EQ(WaitForText(hDlg, 1001, L"Search"), L"Search");
    // The assignment menu: Space on "Browse..." opens it, arrows and Enter pick "Launch eMail".
    ASSERT_TRUE(TabTo(::GetDlgItem(hDlg, 3)));
    XdoKeys(L"space");
    EXPECT_TRUE(WaitForMenu(pi.dwProcessId));
    XdoKeys(L"Down Down Down Down Return");
    EXPECT_EQ(WaitForText(hDlg, 1005, L"Launch eMail"), L"Launch eMail");
    // Then a website typed over it, and Enter: the default button, Apply.
    ASSERT_TRUE(TabTo(::GetDlgItem(hDlg, 1005)));
    ASSERT_TRUE(XdoType(L"www.kivora.example/keys"));
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/keys"), L"www.kivora.example/keys");
    XdoKeys(L"Return");
    XdoKeys(L"Escape");
    EXPECT_EQ(WaitForExit(pi), 0u);

    pi = Start();
    hDlg = OpenedDialog(pi);
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(KeyToThirdButton(hDlg));
    EXPECT_EQ(WaitForText(hDlg, 1005, L"www.kivora.example/keys"), L"www.kivora.example/keys");
    EXPECT_EQ(EscapeAndWait(pi), 0u);
}
