#include "framework/Controls.h"

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    const int n = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, nIndex));
    if (n < 0) {
        rString.Empty();
        return;
    }
    const int nCopied = static_cast<int>(
        SendMessage(CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(rString.GetBuffer(n + 1))));
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
}

int CListCtrl::InsertColumn(int nCol, LPCWSTR lpszHeading, int nFormat, int nWidth) const
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = nFormat;
    column.cx = nWidth;
    column.pszText = const_cast<LPWSTR>(lpszHeading);
    column.iSubItem = nCol;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, nCol, reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int nItem, LPCWSTR lpszItem, int nImage) const
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(lpszItem);
    item.iImage = nImage;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, LPCWSTR lpszText, int nImage) const
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPWSTR>(lpszText);
    item.iImage = nImage;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control copies at most the buffer it is given: grow until the text fits.
    for (int nSize = 256;; nSize *= 4) {
        CString str;
        LVITEMW item = {};
        item.iSubItem = nSubItem;
        item.pszText = str.GetBuffer(nSize);
        item.cchTextMax = nSize;
        const int n =
            static_cast<int>(SendMessage(LVM_GETITEMTEXTW, nItem, reinterpret_cast<LPARAM>(&item)));
        str.ReleaseBuffer(n);
        if (n < nSize - 1 || nSize > (1 << 20)) return str;
    }
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) const
{
    LVITEMW item = {};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}
