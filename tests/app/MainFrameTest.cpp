#include "app/ButtonConfigApp.h"
#include "app/MainFrame.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <thread>

// Menus belong to their process under Wine, so the frame's menu is looked at in-process.
TEST(MainFrameTest, HiddenFrameCarriesTheMenuAndPostsItsStartMessage)
{
    auto* pFrame = new CMainFrame;
    const HWND hFrame = pFrame->m_hWnd;
    ASSERT_NE(hFrame, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hFrame));
    EXPECT_STREQ(pFrame->GetRuntimeClass()->m_lpszClassName, "CMainFrame");
    EXPECT_TRUE(pFrame->m_listeners.IsEmpty());

    HMENU hMenu = ::GetMenu(hFrame);
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(::GetMenuItemID(::GetSubMenu(hMenu, 0), 0), static_cast<UINT>(ID_APP_EXIT));
    EXPECT_EQ(::GetMenuItemID(hMenu, 1), static_cast<UINT>(ID_HELP_INDEX));
    WCHAR szText[16] = {};
    ::GetMenuStringW(hMenu, ID_APP_EXIT, szText, ARRAYSIZE(szText), MF_BYCOMMAND);
    EXPECT_STREQ(szText, L"E&xit");

    MSG msg = {};
    EXPECT_TRUE(::PeekMessageW(&msg, hFrame, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_FALSE(::PeekMessageW(&msg, hFrame, WM_USER, WM_USER, PM_REMOVE)) << "posted once";

    // Every suspend is granted; the end of the session is left to the system.
    EXPECT_EQ(::SendMessageW(hFrame, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
    EXPECT_EQ(::SendMessageW(hFrame, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), TRUE);
    EXPECT_EQ(::SendMessageW(hFrame, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(::SendMessageW(hFrame, WM_ENDSESSION, TRUE, 0), 0);
    EXPECT_TRUE(::IsWindow(hFrame));
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    pFrame->DestroyWindow();
}

TEST(MainFrameTest, OleThatCannotStartEndsTheProgramWithItsMessage)
{
    class CTestApp : public CButtonConfigApp
    {
    public:
        int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDHelp) override
        {
            m_strPrompt = lpszPrompt;
            m_nType = nType;
            m_nIDHelp = nIDHelp;
            return IDOK;
        }
        CString m_strPrompt;
        UINT m_nType = 99, m_nIDHelp = 99;
    };
    // OLE needs a single-threaded apartment: a thread already in the multithreaded one refuses.
    std::thread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            CTestApp app;
            EXPECT_FALSE(app.InitInstance());
            EXPECT_STREQ(app.m_strPrompt, L"Failed to initialize OLE");
            EXPECT_EQ(app.m_nType, static_cast<UINT>(MB_OK));
            EXPECT_EQ(app.m_nIDHelp, 0u);
            EXPECT_EQ(app.m_pMainWnd, nullptr);
            EXPECT_EQ(app.m_pButtonServer, nullptr);
        }
        ::CoUninitialize();
    }).join();
}
