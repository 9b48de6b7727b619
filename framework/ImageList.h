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
    operator HIMAGELIST() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};
