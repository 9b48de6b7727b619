// CDropEdit: an edit field that takes files and text dropped on it and lets its text be dragged
// out. Text travels as CF_TEXT holding UTF-16 characters, which two such fields agree on.
#pragma once

#include "framework/Afx.h"

class CEditDropTarget : public COleDropTarget
{
public:
    CString m_strDroppedPath; // the full path of the file of the last drop
    BOOL m_bDropped = FALSE;  // a file was dropped; cleared by a new drag and by its reader

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                           POINT point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                          POINT point) override;
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                POINT point) override;
};

class CDropEdit : public CEdit
{
public:
    // Once the field is bound to its window.
    BOOL RegisterDropTarget() { return m_dropTarget.Register(this); }

    COleDataSource m_dataSource;
    CEditDropTarget m_dropTarget;

protected:
    void OnLButtonDown(UINT nFlags, POINT point);

    DECLARE_MESSAGE_MAP()
};
