#include "shell/DropEdit.h"

#include <shellapi.h>

BEGIN_MESSAGE_MAP(CDropEdit, CEdit)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

const int kMaxDraggedChars = 24;

// The text of a block of UTF-16 characters, up to its first null or its end.
CString BlockText(HGLOBAL hGlobal)
{
    CString strText;
    if (const auto* pch = static_cast<const WCHAR*>(::GlobalLock(hGlobal))) {
        const SIZE_T nMax = ::GlobalSize(hGlobal) / sizeof(WCHAR);
        SIZE_T n = 0;
        while (n < nMax && pch[n])
            n++;
        strText = CString(pch, static_cast<int>(n));
        ::GlobalUnlock(hGlobal);
    }
    return strText;
}

// What the field shows of a path: its last part, a drive root's "C:" included.
CString DisplayName(CString strPath)
{
    int nSlash = strPath.ReverseFind(L'\\');
    CString strName = strPath.Mid(nSlash + 1);
    if (strName.IsEmpty() && nSlash >= 0) {
        strPath = strPath.Left(nSlash);
        nSlash = strPath.ReverseFind(L'\\');
        strName = nSlash >= 0 ? strPath.Mid(nSlash + 1) : strPath;
    }
    return strName;
}

DROPEFFECT EffectOf(DWORD dwKeyState)
{
    return dwKeyState & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

} // namespace

DROPEFFECT CEditDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD dwKeyState, POINT)
{
    m_bDropped = FALSE;
    return EffectOf(dwKeyState);
}

DROPEFFECT CEditDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD dwKeyState, POINT)
{
    return EffectOf(dwKeyState);
}

// A file shows its name and keeps its path; text shows as it is. Whatever comes, the drop is
// taken.
BOOL CEditDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT, POINT)
{
    if (pDataObject->IsDataAvailable(CF_HDROP)) {
        WCHAR szFile[261] = {};
        if (const HGLOBAL hGlobal = pDataObject->GetGlobalData(CF_HDROP)) {
            if (const auto hDrop = static_cast<HDROP>(::GlobalLock(hGlobal))) {
                const UINT nFiles = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
                // Of several files, the last one stays.
                for (UINT i = 0; i < nFiles; i++)
                    ::DragQueryFileW(hDrop, i, szFile, ARRAYSIZE(szFile));
                ::GlobalUnlock(hGlobal);
            }
            ::GlobalFree(hGlobal);
        }
        m_strDroppedPath = szFile;
        m_bDropped = TRUE;
        pWnd->SetWindowText(DisplayName(m_strDroppedPath));
        ::SetFocus(pWnd->m_hWnd);
        return TRUE;
    }
    // Another program's text comes as CF_UNICODETEXT beside its 8-bit CF_TEXT; where only
    // CF_TEXT is offered, it holds UTF-16 as this field writes it.
    CString strText;
    for (CLIPFORMAT cf : {CLIPFORMAT(CF_UNICODETEXT), CLIPFORMAT(CF_TEXT)}) {
        if (!pDataObject->IsDataAvailable(cf)) continue;
        if (const HGLOBAL hGlobal = pDataObject->GetGlobalData(cf)) {
            strText = BlockText(hGlobal);
            ::GlobalFree(hGlobal);
        }
        break;
    }
    pWnd->SetWindowText(strText);
    return TRUE;
}

// Called when the left button goes down on the field: its text (at most 24 characters) can be
// dragged away; a move empties the field.
void CDropEdit::OnLButtonDown(UINT, POINT point)
{
    Default();
    CString strText;
    GetWindowText(strText);
    if (strText.IsEmpty()) return;
    const HGLOBAL hGlobal =
        ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (kMaxDraggedChars + 1) * sizeof(WCHAR));
    if (!hGlobal) return;
    ::lstrcpynW(static_cast<LPWSTR>(hGlobal), strText, kMaxDraggedChars + 1);
    m_dataSource.CacheGlobalData(CF_TEXT, hGlobal);

    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    const DROPEFFECT dropEffect = m_dataSource.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &rc);
    if (dropEffect & DROPEFFECT_MOVE) SetWindowText(L"");
    // The edit's own mouse tracking ends with the release it did not see.
    SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    m_dataSource.Empty();
}
