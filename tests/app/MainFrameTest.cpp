#include "app/MainFrame.h"
#include "res/resource.h"

#include <gtest/gtest.h>

// Menus belong to their process under Wine, so the frame's menu is looked at in-process.
TEST(MainFrameTest, HiddenFrameCarriesTheMenuAndPostsItsStartMessage)
{
    auto* pFrame = new CMainFrame;
    const HWND hFrame = pFrame->m_hWnd;
    ASSERT_NE(hFrame, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hFrame));
    EXPECT_STREQ(pFrame->GetRuntimeClass()->m_lpszClassName, "CMainFrame");

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
    pFrame->DestroyWindow();
}
