// Control wrappers, each a thin layer of messages over a control the dialog owns:
//   CButton, CEdit, CStatic, CComboBox, CListCtrl.
// None owns its window: the dialog's template makes and destroys the controls.
#pragma once

#include "framework/Wnd.h"

#include <commctrl.h>

class CButton : public CWnd
{
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CEdit : public CWnd
{
public:
    void SetSel(int nStart, int nEnd) const { SendMessage(EM_SETSEL, nStart, nEnd); }
};

class CStatic : public CWnd
{
};

class CComboBox : public CWnd
{
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) const
    {
        return static_cast<int>(SendMessage(CB_SETCURSEL, nSelect));
    }
    int AddString(LPCWSTR lpszString) const
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
    }
    int DeleteString(UINT nIndex) const
    {
        return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex));
    }
    // The first item after nStartAfter whose text begins with lpszString, ignoring case, searched
    // round to the top; it becomes the current item. CB_ERR when there is none.
    int SelectString(int nStartAfter, LPCWSTR lpszString) const
    {
        return static_cast<int>(
            SendMessage(CB_SELECTSTRING, nStartAfter, reinterpret_cast<LPARAM>(lpszString)));
    }
    int FindStringExact(int nStartAfter, LPCWSTR lpszString) const
    {
        return static_cast<int>(
            SendMessage(CB_FINDSTRINGEXACT, nStartAfter, reinterpret_cast<LPARAM>(lpszString)));
    }
    void GetLBText(int nIndex, CString& rString) const;
};

class CListCtrl : public CWnd
{
public:
    BOOL DeleteAllItems() const { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    HIMAGELIST SetImageList(HIMAGELIST hImageList, int nImageListType) const
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, nImageListType, reinterpret_cast<LPARAM>(hImageList)));
    }
    int InsertColumn(int nCol, LPCWSTR lpszHeading, int nFormat, int nWidth) const;
    int InsertItem(int nItem, LPCWSTR lpszItem, int nImage) const;
    BOOL SetItem(int nItem, int nSubItem, LPCWSTR lpszText, int nImage) const;
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask) const;
};
