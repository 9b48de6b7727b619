// What a drag from a test carries, and a drop source that ends it by itself: for drops on the
// program's fields from a thread (or process) of the test's own.
#pragma once

#include "framework/Ole.h"

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

using DragFormats = std::vector<std::pair<CLIPFORMAT, HGLOBAL>>;

// Ends the drag after a few rounds of the drag loop, with a drop or a cancel.
struct CScriptedDropSource : IDropSource
{
    explicit CScriptedDropSource(bool bDrop) : m_bDrop(bDrop) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = riid == IID_IUnknown || riid == IID_IDropSource ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL, DWORD) override
    {
        if (++m_nRounds < 4) return S_OK;
        return m_bDrop ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    bool m_bDrop;
    int m_nRounds = 0;
};

inline HGLOBAL GlobalCopy(const void* pv, SIZE_T cb)
{
    const HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, cb);
    memcpy(::GlobalLock(hGlobal), pv, cb);
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

// DROPFILES with wide paths, each ended by a null, the list by another.
inline HGLOBAL FileList(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths)
        list.append(path).push_back(L'\0');
    list.push_back(L'\0');
    std::vector<BYTE> bytes(sizeof(DROPFILES) + list.size() * sizeof(WCHAR));
    auto* pHeader = reinterpret_cast<DROPFILES*>(bytes.data());
    pHeader->pFiles = sizeof(DROPFILES);
    pHeader->fWide = TRUE;
    memcpy(bytes.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(WCHAR));
    return GlobalCopy(bytes.data(), bytes.size());
}

inline HGLOBAL Text(const std::wstring& text)
{
    return GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(WCHAR));
}

// A drag of those formats from the calling thread, for which OLE is started, to the point (screen
// coordinates), Ctrl held down or not, ended with a drop or a cancel; the effect the source was
// told. Not on the thread that runs the target's window.
inline DWORD DragFormatsTo(POINT pt, const DragFormats& formats, bool bDrop, bool bCtrl)
{
    BYTE keys[256] = {};
    keys[VK_CONTROL] = bCtrl ? 0x80 : 0;
    ::SetKeyboardState(keys);
    DWORD dwEffect = 0;
    ::OleInitialize(nullptr);
    {
        COleDataSource data;
        for (const auto& format : formats)
            data.CacheGlobalData(format.first, format.second);
        CScriptedDropSource dropSource(bDrop);
        ::SetCursorPos(pt.x, pt.y);
        ::DoDragDrop(&data, &dropSource, DROPEFFECT_COPY | DROPEFFECT_MOVE, &dwEffect);
    }
    ::OleUninitialize();
    return dwEffect;
}
