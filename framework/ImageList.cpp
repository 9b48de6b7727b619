#include "framework/ImageList.h"

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList) return FALSE;
    ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}
