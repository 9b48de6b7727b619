#include "framework/Ole.h"

#include <shlobj.h>

namespace {

FORMATETC GlobalFormat(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (lpFormatEtc) return *lpFormatEtc;
    return {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    const SIZE_T cb = ::GlobalSize(hSource);
    const HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, cb);
    const void* pSource = ::GlobalLock(hSource);
    if (hCopy && pSource) {
        memcpy(::GlobalLock(hCopy), pSource, cb);
        ::GlobalUnlock(hCopy);
    }
    if (pSource) ::GlobalUnlock(hSource);
    return hCopy;
}

} // namespace

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc) const
{
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    return m_pDataObject && m_pDataObject->QueryGetData(&format) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium,
                             LPFORMATETC lpFormatEtc) const
{
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    return m_pDataObject && SUCCEEDED(m_pDataObject->GetData(&format, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc) const
{
    STGMEDIUM medium = {};
    if (!GetData(cfFormat, &medium, lpFormatEtc)) return nullptr;
    if (medium.tymed != TYMED_HGLOBAL) {
        ::ReleaseStgMedium(&medium);
        return nullptr;
    }
    // A block the source keeps is copied, so the caller always owns what it gets.
    if (!medium.pUnkForRelease) return medium.hGlobal;
    const HGLOBAL hCopy = CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return hCopy;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal)
{
    m_entries.push_back({GlobalFormat(cfFormat, nullptr), hGlobal});
}

void COleDataSource::Empty()
{
    for (const Entry& entry : m_entries)
        ::GlobalFree(entry.hGlobal);
    m_entries.clear();
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag,
                                      IDropSource* pDropSource)
{
    if (lpRectStartDrag) {
        const HWND hCapture = ::GetCapture();
        const DWORD dwStart = ::GetTickCount();
        BOOL bDrag = FALSE;
        while (!bDrag) {
            MSG msg;
            if (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
                ::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
                if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP ||
                    (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                    break;
                if (msg.message == WM_MOUSEMOVE && !::PtInRect(lpRectStartDrag, msg.pt))
                    bDrag = TRUE;
            } else {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_INPUT);
            }
            if (::GetTickCount() - dwStart >= DD_DEFDRAGDELAY) bDrag = TRUE;
        }
        if (::GetCapture() == hCapture) ::ReleaseCapture();
        if (!bDrag) return DROPEFFECT_NONE;
    }

    // The usual source: Escape cancels, releasing the button drops.
    struct CDropSource : IDropSource
    {
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
        {
            *ppv = riid == IID_IUnknown || riid == IID_IDropSource ? this : nullptr;
            return *ppv ? S_OK : E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return 1; }
        STDMETHODIMP_(ULONG) Release() override { return 1; }
        STDMETHODIMP QueryContinueDrag(BOOL bEscape, DWORD grfKeyState) override
        {
            if (bEscape) return DRAGDROP_S_CANCEL;
            return grfKeyState & (MK_LBUTTON | MK_RBUTTON) ? S_OK : DRAGDROP_S_DROP;
        }
        STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    } source;
    DWORD dwEffect = DROPEFFECT_NONE;
    if (::DoDragDrop(this, pDropSource ? pDropSource : &source, dwEffects, &dwEffect) !=
        DRAGDROP_S_DROP)
        return DROPEFFECT_NONE;
    return dwEffect;
}

STDMETHODIMP COleDataSource::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = riid == IID_IUnknown || riid == IID_IDataObject ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
}

const COleDataSource::Entry* COleDataSource::Find(const FORMATETC* pFormat) const
{
    for (const Entry& entry : m_entries)
        if (entry.format.cfFormat == pFormat->cfFormat && pFormat->dwAspect == DVASPECT_CONTENT &&
            (pFormat->tymed & TYMED_HGLOBAL))
            return &entry;
    return nullptr;
}

STDMETHODIMP COleDataSource::GetData(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    if (!pFormat || !pMedium) return E_INVALIDARG;
    const Entry* pEntry = Find(pFormat);
    if (!pEntry) return DV_E_FORMATETC;
    // The receiver frees what it gets, so it gets a copy.
    pMedium->hGlobal = CopyGlobal(pEntry->hGlobal);
    if (!pMedium->hGlobal) return E_OUTOFMEMORY;
    pMedium->tymed = TYMED_HGLOBAL;
    pMedium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP COleDataSource::QueryGetData(FORMATETC* pFormat)
{
    if (!pFormat) return E_INVALIDARG;
    return Find(pFormat) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP COleDataSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut)
{
    if (pOut) pOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum)
{
    if (dwDirection != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& entry : m_entries)
        formats.push_back(entry.format);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), ppEnum);
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (FAILED(::RegisterDragDrop(pWnd->m_hWnd, this))) return FALSE;
    m_pWnd = pWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (!m_pWnd) return;
    ::RevokeDragDrop(m_pWnd->m_hWnd);
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, POINT)
{
    return FALSE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

STDMETHODIMP COleDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = riid == IID_IUnknown || riid == IID_IDropTarget ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
}

POINT COleDropTarget::ClientPoint(POINTL pt) const
{
    POINT point = {pt.x, pt.y};
    ::ScreenToClient(m_pWnd->m_hWnd, &point);
    return point;
}

// Every handler answers an effect the source allows, or none.
STDMETHODIMP COleDropTarget::DragEnter(IDataObject* pDataObject, DWORD grfKeyState, POINTL pt,
                                       DWORD* pdwEffect)
{
    if (!pdwEffect || !m_pWnd) return E_INVALIDARG;
    m_pDataObject = pDataObject;
    COleDataObject data(pDataObject);
    *pdwEffect &= OnDragEnter(m_pWnd, &data, grfKeyState, ClientPoint(pt));
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect || !m_pWnd) return E_INVALIDARG;
    COleDataObject data(m_pDataObject);
    *pdwEffect &= OnDragOver(m_pWnd, &data, grfKeyState, ClientPoint(pt));
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragLeave()
{
    m_pDataObject = nullptr;
    if (m_pWnd) OnDragLeave(m_pWnd);
    return S_OK;
}

STDMETHODIMP COleDropTarget::Drop(IDataObject* pDataObject, DWORD grfKeyState, POINTL pt,
                                  DWORD* pdwEffect)
{
    m_pDataObject = nullptr;
    if (!pdwEffect || !m_pWnd) return E_INVALIDARG;
    COleDataObject data(pDataObject);
    // The effect of the last DragOver, as the key state now asks for it.
    const DROPEFFECT dropEffect =
        *pdwEffect & OnDragOver(m_pWnd, &data, grfKeyState, ClientPoint(pt));
    *pdwEffect = OnDrop(m_pWnd, &data, dropEffect, ClientPoint(pt)) ? dropEffect : DROPEFFECT_NONE;
    return S_OK;
}
