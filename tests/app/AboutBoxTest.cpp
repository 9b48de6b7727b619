// The About box with the real version library stand-in.
#include "StringPrinter.h"
#include "Session.h"
#include "Undo.h"
#include "UserInput.h"
#include "app/AboutDlg.h"
#include "config/Settings.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The keys this thread's next messages find held: the others of Ctrl, Shift and A are up.
void HoldKeys(std::initializer_list<int> keys)
{
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    for (int vk : {VK_CONTROL, VK_SHIFT, int('A')})
        state[vk] = 0;
    for (int vk : keys)
        state[vk] = 0x80;
    ::SetKeyboardState(state);
}

class AboutBoxTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        HoldKeys({});
        delete m_pDlg;
    }
    CAboutDlg& Open()
    {
        delete m_pDlg;
        m_pDlg = new CAboutDlg;
        EXPECT_TRUE(m_pDlg->Create());
        return *m_pDlg;
    }
    // A double click as the system reports one on the box, at a point of the box's client area.
    CString DoubleClickAt(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(m_pDlg->m_hWnd, &pt);
        CMessageBoxAnswer answer(IDOK);
        m_pDlg->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return answer.Text();
    }
    POINT CentreOf(int nID) const
    {
        RECT rc = {};
        ::GetWindowRect(::GetDlgItem(m_pDlg->m_hWnd, nID), &rc);
        ::MapWindowPoints(nullptr, m_pDlg->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }

    CAboutDlg* m_pDlg = nullptr;
};

} // namespace

TEST_F(AboutBoxTest, TextsAndTheVersionFromTheLibrary)
{
    CAboutDlg& dlg = Open();
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDOK)), L"OK");
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDC_ABOUT_PRODUCT)),
              L"Quelda Kivora Buttons Support Software");
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDC_ABOUT_VERSION)), L"Version # : 5.2.0.117")
        << "the library's own version resource"; // its failures: the robustness table
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDC_ABOUT_COPYRIGHT)),
              L"Copyright \x00A9 Quelda. All rights reserved.");
    EXPECT_EQ(::GetModuleHandleW(L"ZADAVUD.DLL"), nullptr) << "freed at once";
}

TEST_F(AboutBoxTest, CtrlShiftOkHidesAndShowsTheDesktopAndTaskbar)
{
    // Where the desktop has no such windows, ones of those classes stand in; a hidden one is shown
    // for the test and hidden again after it.
    CUndo undo;
    HWND hShell[2] = {};
    for (int n = 0; n < 2; n++) {
        const LPCWSTR pszClass = n ? L"Shell_TrayWnd" : L"Progman";
        HWND hWnd = ::FindWindowW(pszClass, nullptr);
        if (!hWnd) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.lpszClassName = pszClass;
            ::RegisterClassW(&wc);
            hWnd = ::CreateWindowW(pszClass, L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                                   nullptr);
            undo.Then([hWnd] { ::DestroyWindow(hWnd); });
        } else if (!::IsWindowVisible(hWnd)) {
            undo.Then([hWnd] { ::ShowWindow(hWnd, SW_HIDE); });
        }
        ::ShowWindow(hShell[n] = hWnd, SW_SHOWNA);
    }
    auto shown = [&](bool bShown) {
        return !!::IsWindowVisible(hShell[0]) == bShown && !!::IsWindowVisible(hShell[1]) == bShown;
    };
    auto pressOk = [&] {
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                            reinterpret_cast<LPARAM>(::GetDlgItem(m_pDlg->m_hWnd, IDOK)));
    };

    CAboutDlg& dlg = Open();
    HoldKeys({VK_CONTROL, VK_SHIFT});
    pressOk();
    EXPECT_TRUE(shown(false));
    EXPECT_TRUE(dlg.m_bShellHidden);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the box stays open";
    pressOk();
    EXPECT_TRUE(shown(true));
    EXPECT_FALSE(dlg.m_bShellHidden);

    // Every way of closing shows them again: OK with Ctrl alone, Escape, the system close.
    for (UINT nClose : {UINT(WM_COMMAND), UINT(WM_KEYDOWN), UINT(WM_CLOSE)}) {
        const HWND hBox = Open().m_hWnd;
        HoldKeys({VK_CONTROL, VK_SHIFT});
        pressOk();
        ASSERT_TRUE(shown(false));
        HoldKeys({VK_CONTROL});
        if (nClose == WM_COMMAND) {
            pressOk();
        } else if (nClose == WM_KEYDOWN) {
            m_pDlg->SendMessage(WM_COMMAND, IDCANCEL, 0); // what the dialog makes of Escape
        } else {
            // The dialog posts itself the Cancel command.
            m_pDlg->SendMessage(WM_CLOSE);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
        }
        EXPECT_TRUE(shown(true)) << nClose;
        EXPECT_FALSE(::IsWindow(hBox)) << nClose;
    }
}

TEST_F(AboutBoxTest, DraggedAnywhereAndTheDoubleClickMessages)
{
    CAboutDlg& dlg = Open();
    POINT pt = CentreOf(IDC_ABOUT_PRODUCT);
    ::ClientToScreen(dlg.m_hWnd, &pt);
    EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTCAPTION);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dlg.m_hWnd, IDC_ABOUT_PRODUCT), WM_NCHITTEST, 0,
                             MAKELPARAM(pt.x, pt.y)),
              HTTRANSPARENT)
        << "the texts let the hits through to the box";

    POINT c = CentreOf(IDC_ABOUT_PRODUCT);
    EXPECT_EQ(DoubleClickAt(c.x, c.y), L"") << "without the keys nothing is said";
    HoldKeys({VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(DoubleClickAt(c.x, c.y), L"") << "nor without A";

    HoldKeys({VK_CONTROL, VK_SHIFT, int('A')});
    EXPECT_EQ(DoubleClickAt(c.x, c.y), L"What R U looking at ???");
    c = CentreOf(IDC_ABOUT_VERSION);
    EXPECT_EQ(DoubleClickAt(c.x, c.y),
              L"Remember:\n\nNever Trouble Trouble Till The Trouble Troubles You.");
    c = CentreOf(IDC_ABOUT_ICON);
    EXPECT_EQ(DoubleClickAt(c.x, c.y), L"Press a button. Any button.");
    c = CentreOf(IDC_ABOUT_COPYRIGHT);
    EXPECT_EQ(DoubleClickAt(c.x, c.y), L"Made by people who press buttons for a living.");
    // Between the controls.
    EXPECT_EQ(DoubleClickAt(3, CentreOf(IDOK).y),
              L"After all is said and done, a hell of a lot more is said than done.");
}
