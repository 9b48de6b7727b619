// CImageList: an image list this object owns and destroys.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList
{
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL DeleteImageList();
    int Add(HICON hIcon) const { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    BOOL Replace(int nImage, HICON hIcon) const
    {
        return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon) >= 0;
    }
    operator HIMAGELIST() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};
