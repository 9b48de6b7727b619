// OLE drag and drop:
//   COleDataObject  the data a drop offers, borrowed for the length of one call
//   COleDataSource  data this program offers, cached global memory per format; it runs a drag
//   COleDropTarget  a window's registration as a drop target, calling its virtual handlers
// Their COM reference counts never delete them: their owners do, after the drag or the window.
#pragma once

#include "framework/Wnd.h"

#include <ole2.h>

#include <vector>

typedef DWORD DROPEFFECT;

class COleDataObject
{
public:
    explicit COleDataObject(IDataObject* pDataObject = nullptr) : m_pDataObject(pDataObject) {}
    void Attach(IDataObject* pDataObject) { m_pDataObject = pDataObject; }

    // In global memory, unless lpFormatEtc says otherwise.
    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr) const;
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium,
                 LPFORMATETC lpFormatEtc = nullptr) const;
    // A block the caller frees; null when the format is not offered in global memory.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr) const;

private:
    IDataObject* m_pDataObject;
};

class COleDataSource : public IDataObject
{
public:
    COleDataSource() = default;
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;
    virtual ~COleDataSource() { Empty(); }

    // The block becomes the source's; it is freed by Empty.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal);
    void Empty();
    // With a start rectangle (screen coordinates) the drag begins only once the pointer leaves it
    // or the system's drag delay has passed with the button held; a release before that ends it
    // with DROPEFFECT_NONE.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE,
                          LPCRECT lpRectStartDrag = nullptr, IDropSource* pDropSource = nullptr);

    // IDataObject
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* pFormat) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    struct Entry
    {
        FORMATETC format;
        HGLOBAL hGlobal;
    };
    const Entry* Find(const FORMATETC* pFormat) const;

    std::vector<Entry> m_entries;
};

class COleDropTarget : public IDropTarget
{
public:
    COleDropTarget() = default;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;
    virtual ~COleDropTarget() { Revoke(); }

    BOOL Register(CWnd* pWnd);
    void Revoke();

    // Points are in the window's client coordinates.
    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                   POINT point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                  POINT point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                        POINT point);
    virtual void OnDragLeave(CWnd* pWnd);

    // IDropTarget
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject* pDataObject, DWORD grfKeyState, POINTL pt,
                           DWORD* pdwEffect) override;
    STDMETHODIMP DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* pDataObject, DWORD grfKeyState, POINTL pt,
                      DWORD* pdwEffect) override;

private:
    POINT ClientPoint(POINTL pt) const;

    CWnd* m_pWnd = nullptr;
    IDataObject* m_pDataObject = nullptr; // between DragEnter and DragLeave or Drop
};
