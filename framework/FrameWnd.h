// CFrameWnd: a top-level window of the framework's own class; deletes itself when destroyed.
#pragma once

#include "framework/Wnd.h"

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)

public:
    // lpszClassName null: the framework's frame class. lpszMenuName: a menu resource or null.
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, LPCWSTR lpszMenuName = nullptr, DWORD dwExStyle = 0);

protected:
    void PostNcDestroy() override { delete this; }
};
