#include "app/ButtonListenerBase.h"
#include "app/ButtonEventSink.h"
#include "framework/ComPtr.h"

#include <ocidl.h>

namespace {

const WCHAR kClientId[] = L"0DE36330-EF33-11D1-8BC5-00805F95B7B7";
const LONG kClientMode = 3;

CComPtr<IConnectionPoint> FindButtonEventPoint(IUnknown* pServer)
{
    CComPtr<IConnectionPointContainer> pContainer;
    CComPtr<IConnectionPoint> pPoint;
    if (SUCCEEDED(pServer->QueryInterface(IID_IConnectionPointContainer, pContainer.Out())))
        pContainer->FindConnectionPoint(IID_IButtonEvents, &pPoint.p);
    return pPoint;
}

} // namespace

void CButtonListenerBase::Subscribe(IButtonEventServer* pServer)
{
    if (!pServer) return;
    CComPtr<IConnectionPoint> pPoint = FindButtonEventPoint(pServer);
    if (!pPoint) return;

    CComPtr<CButtonEventSink> pSink(new CButtonEventSink);
    DWORD dwCookie = 0;
    if (FAILED(pPoint->Advise(pSink, &dwCookie))) return;
    pSink->m_pOwner = this;
    pSink->m_dwCookie = dwCookie;
    pSink->m_pServer = pServer;
    pServer->AddRef();

    // Without the registration interface the sink stays advised all the same.
    CComPtr<IButtonEventServer> pRegistrar;
    if (SUCCEEDED(pServer->QueryInterface(IID_IButtonEventServer, pRegistrar.Out()))) {
        const LONG nId = GetButtonId();
        if (FAILED(pRegistrar->RegisterButtonClient(kClientId, &nId, &kClientMode, 1,
                                                    static_cast<LONG>(dwCookie)))) {
            pPoint->Unadvise(dwCookie);
            pSink->m_pServer = nullptr;
            pServer->Release();
            pSink->m_pOwner = nullptr;
            return;
        }
    }
    m_pSink = pSink.Detach();
}

CButtonListenerBase::~CButtonListenerBase()
{
    if (!m_pSink) return;
    // The sink may outlive us in the server's hands; it must not call back into freed memory.
    m_pSink->m_pOwner = nullptr;
    if (IButtonEventServer* pServer = m_pSink->m_pServer) {
        CComPtr<IButtonEventServer> pRegistrar;
        if (SUCCEEDED(pServer->QueryInterface(IID_IButtonEventServer, pRegistrar.Out())))
            pRegistrar->UnregisterButtonClient(static_cast<LONG>(m_pSink->m_dwCookie));
        if (m_pSink->m_dwCookie != 0) {
            CComPtr<IConnectionPoint> pPoint = FindButtonEventPoint(pServer);
            if (pPoint && SUCCEEDED(pPoint->Unadvise(m_pSink->m_dwCookie))) {
                m_pSink->m_pServer = nullptr;
                pServer->Release();
            }
        }
    }
    m_pSink->Release();
    m_pSink = nullptr;
}
