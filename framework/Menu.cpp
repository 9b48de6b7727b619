#include "framework/Menu.h"
#include "framework/WinApp.h"

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    DestroyMenu();
    m_hMenu = ::LoadMenuW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIDResource));
    return m_hMenu != nullptr;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu) return FALSE;
    ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return TRUE;
}
