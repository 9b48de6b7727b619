// CMenu: a menu this object owns (loaded from a resource) and destroys; its popups are borrowed.
#pragma once

#include "framework/String.h"

class CMenu
{
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() { DestroyMenu(); }

    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    // The popup at nPos; it belongs to this menu.
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }

    HMENU m_hMenu = nullptr;
};
