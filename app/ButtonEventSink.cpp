#include "app/ButtonEventSink.h"
#include "app/ButtonListenerBase.h"

STDMETHODIMP CButtonEventSink::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IButtonEvents)) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = static_cast<IButtonEvents*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CButtonEventSink::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CButtonEventSink::Release()
{
    const LONG cRef = ::InterlockedDecrement(&m_cRef);
    if (cRef == 0) delete this;
    return static_cast<ULONG>(cRef);
}

// Called by the server, through the apartment's message loop, when a button event arrives.
STDMETHODIMP CButtonEventSink::OnNotify1(LONG lValue)
{
    return m_pOwner ? m_pOwner->OnNotify1(lValue) : S_OK;
}

STDMETHODIMP CButtonEventSink::OnNotify2(LONG lValue)
{
    return m_pOwner ? m_pOwner->OnNotify2(lValue) : S_OK;
}
