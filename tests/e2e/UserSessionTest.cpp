// The built program as a user meets it: started, its dialog found by its title and looked at,
// listening to the buttons while it is open, used and closed, in the user's language.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "Session.h"
#include "UserInput.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

TEST(UserSessionTest, TheDialogOpensListensAndClosesWithItsCloseBox)
{
    ::CoInitialize(nullptr);
    {
        CEventServerProbe probe;
        ASSERT_TRUE(probe.IsConnected());
        probe.Reset();
        CConfigServiceStore store;
        store.SetFaults(L"log");
        for (LPCWSTR pszParams : {L"", L"BUTTON=305"}) {
            SCOPED_TRACE(Utf8(pszParams));
            CProgramUnderTest program(PROGRAM_PATH, pszParams);
            ASSERT_TRUE(program.Open()) << "no dialog";
            EXPECT_EQ(store.TakeCalls().find(L"SetButtonId(305)") != std::wstring::npos,
                      !!*pszParams)
                << "the service first pointed at the command line's button";
            EXPECT_EQ(probe.Counts().registrations, 49) << "listening while the dialog is open";
            EXPECT_EQ(::SendMessageW(::GetDlgItem(program.m_hDlg, 1000), LVM_GETITEMCOUNT, 0, 0),
                      11);
            if (!*pszParams) {
                EXPECT_TRUE(SaveScreenshot(program.m_hDlg, WinePath(BUILD_DIR "/e2e-dialog.bmp")));
            }
            program.Close(); // the close box
            EXPECT_EQ(program.m_dwExitCode, 0u);
            EXPECT_EQ(probe.Counts().registrations, 0);
            EXPECT_EQ(probe.Counts().connections, 0);
        }
    }
    ::CoUninitialize();
}

// The program in the user's language, which the test takes over from the locale it runs in: ctest
// runs it once in each of the languages below. A language without a table of its own (Arabic of
// Saudi Arabia, 1025) gets the English texts.
namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The popup menu on the screen; null while none shows.
HWND ShownMenu()
{
    const HWND hMenu = ::FindWindowW(L"#32768", nullptr);
    return ::IsWindowVisible(hMenu) ? hMenu : nullptr;
}

} // namespace

TEST(UserSessionTest, TheDialogSpeaksTheUsersLanguage)
{
    const struct
    {
        LANGID lang;
        LPCWSTR pszApply, pszTray, pszMedia;
        bool bMirrored;
    } languages[] = {
        {1033, L"Apply", L"Show icon in the System Tray", L"Media", false},
        {1031, L"Anwenden", L"Symbol im Infobereich anzeigen", L"Medien", false},
        {1041, L"\x9069\x7528",
         L"\x901A\x77E5\x9818\x57DF\x306B\x30A2\x30A4\x30B3\x30F3\x3092"
         L"\x8868\x793A\x3059\x308B",
         L"\x30E1\x30C7\x30A3\x30A2", false},
        {4097, L"\x062A\x0637\x0628\x064A\x0642",
         L"\x0625\x0638\x0647\x0627\x0631 \x0627\x0644\x0631\x0645\x0632 \x0641\x064A "
         L"\x0645\x0646\x0637\x0642\x0629 \x0627\x0644\x0625\x0639\x0644\x0627\x0645\x0627\x062A",
         L"\x0627\x0644\x0648\x0633\x0627\x0626\x0637", true},
        {1025, L"Apply", L"Show icon in the System Tray", L"Media", false},
    };
    const LANGID lang = ::GetUserDefaultUILanguage();
    const auto* pLanguage = std::find_if(std::begin(languages), std::end(languages),
                                         [lang](const auto& l) { return l.lang == lang; });
    ASSERT_NE(pLanguage, std::end(languages)) << "a language the test does not know: " << lang;

    // "Media", a label with a text of its own where the language's table has one.
    CConfigServiceStore store("buttons=101\n101|Media|Media|http://m.example/|UNLOCKED\n");
    CProgramUnderTest program(PROGRAM_PATH);
    ASSERT_TRUE(program.Open());
    EXPECT_EQ(WindowText(::GetDlgItem(program.m_hDlg, 1045)), pLanguage->pszApply);
    EXPECT_EQ(WindowText(::GetDlgItem(program.m_hDlg, 1071)), pLanguage->pszTray);
    EXPECT_EQ(WindowText(::GetDlgItem(program.m_hDlg, 1005)), pLanguage->pszMedia);
    const std::wstring shot = L"\\e2e-language-" + std::to_wstring(lang) + L".bmp";
    EXPECT_TRUE(SaveScreenshot(program.m_hDlg, WinePath(BUILD_DIR) + shot.c_str()));

    // Mirrored, each control sits as far from the dialog's right edge as the template puts it
    // from the left; otherwise from the left. The template, made here from the program's file,
    // says where.
    EXPECT_EQ(!!(::GetWindowLongW(program.m_hDlg, GWL_EXSTYLE) & WS_EX_LAYOUTRTL),
              pLanguage->bMirrored);
    const INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    const HMODULE hProgram =
        ::LoadLibraryExW(WinePath(PROGRAM_PATH), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HWND hTemplate =
        ::CreateDialogParamW(hProgram, MAKEINTRESOURCEW(103), nullptr, QuietDialogProc, 0);
    ASSERT_TRUE(hTemplate);
    POINT origin = {0, 0}; // mirrored, the client area's top right corner
    ::ClientToScreen(program.m_hDlg, &origin);
    int nControls = 0; // the two in the same order, labels without an id of their own too
    for (HWND hPlaced = ::GetWindow(hTemplate, GW_CHILD),
              hShown = ::GetWindow(program.m_hDlg, GW_CHILD);
         hPlaced && hShown; hPlaced = ::GetWindow(hPlaced, GW_HWNDNEXT),
              hShown = ::GetWindow(hShown, GW_HWNDNEXT), nControls++) {
        const int nID = ::GetDlgCtrlID(hPlaced);
        ASSERT_EQ(::GetDlgCtrlID(hShown), nID);
        RECT rcPlaced = {}, rcShown = {};
        ::GetWindowRect(hPlaced, &rcPlaced);
        ::MapWindowPoints(nullptr, hTemplate, reinterpret_cast<POINT*>(&rcPlaced), 2);
        ::GetWindowRect(hShown, &rcShown);
        const int nFromEdge =
            pLanguage->bMirrored ? origin.x - rcShown.right : rcShown.left - origin.x;
        EXPECT_EQ(nFromEdge, rcPlaced.left) << "control " << nID;
        EXPECT_EQ(rcShown.top - origin.y, rcPlaced.top) << "control " << nID;
        EXPECT_EQ(rcShown.right - rcShown.left, rcPlaced.right - rcPlaced.left)
            << "control " << nID;
    }
    EXPECT_GT(nControls, 10);
    ::DestroyWindow(hTemplate);
    ::FreeLibrary(hProgram);

    // The assignment menu reads the same way.
    ::PostMessageW(::GetDlgItem(program.m_hDlg, 3), BM_CLICK, 0, 0);
    HWND hMenu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hMenu = ShownMenu()) != nullptr; }, 5000)) << "no menu";
    EXPECT_EQ(!!(::GetWindowLongW(hMenu, GWL_EXSTYLE) & WS_EX_LAYOUTRTL), pLanguage->bMirrored);
    PostKey(program.m_hDlg, VK_ESCAPE);
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

// The text the control shows within a few seconds, or the last it showed.
std::wstring Shows(HWND hWnd, const std::wstring& text)
{
    std::wstring shown;
    WaitUntil([&] { return (shown = WindowText(hWnd)) == text; }, 5000);
    return shown;
}

// The third button chosen from the keyboard alone.
bool KeyToThirdButton(HWND hDlg, const wchar_t* pszName)
{
    HWND hList = ::GetDlgItem(hDlg, 1000);
    if (!TabTo(hList)) return false;
    XdoKeys(L"Home Down Down");
    return Shows(::GetDlgItem(hDlg, 1001), pszName) == pszName;
}

} // namespace

// Keys only, through the X server: Tab to the list, arrows to a button, the assignment menu, Tab to
// the assignment, a website typed, Shift+Tab back to the name, a name typed, Enter, Escape. The
// next start shows both.
TEST(UserSessionTest, AWebsiteAndANameGivenWithTheKeyboardAloneAreKept)
{
    CConfigServiceStore store;
    CProgramUnderTest program(PROGRAM_PATH);
    ASSERT_TRUE(program.Open());
    const HWND hDlg = program.m_hDlg, hTarget = ::GetDlgItem(hDlg, 1005);
    WaitUntil([hDlg] { return ::GetForegroundWindow() == hDlg; }, 5000);
    ASSERT_TRUE(KeyToThirdButton(hDlg, L"Search"));
    // The assignment menu: Space on "Browse..." opens it, arrows and Enter pick "Launch eMail".
    ASSERT_TRUE(TabTo(::GetDlgItem(hDlg, 3)));
    XdoKeys(L"space");
    EXPECT_TRUE(WaitUntil([] { return ShownMenu() != nullptr; }));
    XdoKeys(L"Down Down Down Down Return");
    EXPECT_EQ(Shows(hTarget, L"Launch eMail"), L"Launch eMail");
    // Then a website typed over it, a name typed over the old one, and Enter: the default button,
    // Apply, with the name field never left.
    ASSERT_TRUE(TabTo(hTarget));
    ASSERT_TRUE(XdoType(L"www.kivora.example/keys"));
    EXPECT_EQ(Shows(hTarget, L"www.kivora.example/keys"), L"www.kivora.example/keys");
    XdoKeys(L"shift+Tab");
    ASSERT_TRUE(XdoType(L"Keys"));
    EXPECT_EQ(Shows(::GetDlgItem(hDlg, 1001), L"Keys"), L"Keys");
    XdoKeys(L"Return");
    XdoKeys(L"Escape");
    EXPECT_EQ(program.WaitForEnd(), 0u);

    ASSERT_TRUE(program.Open());
    ASSERT_TRUE(KeyToThirdButton(program.m_hDlg, L"Keys"));
    EXPECT_EQ(Shows(::GetDlgItem(program.m_hDlg, 1005), L"www.kivora.example/keys"),
              L"www.kivora.example/keys");
}
