#include "EventServerProbe.h"

#include "ButtonEventServer.h"

namespace {

const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};

} // namespace

CEventServerProbe::CEventServerProbe()
{
    ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                       IID_IButtonEventServerProbe, reinterpret_cast<void**>(&m_pProbe));
}

CEventServerProbe::~CEventServerProbe()
{
    if (m_pProbe) m_pProbe->Release();
}

void CEventServerProbe::Reset()
{
    if (m_pProbe) m_pProbe->Reset();
}

EventServerCounts CEventServerProbe::Counts()
{
    EventServerCounts counts;
    if (m_pProbe)
        m_pProbe->GetCounts(&counts.registrations, &counts.connections, &counts.registerCalls);
    return counts;
}

EventServerRegistration CEventServerProbe::Registration(LONG nIndex)
{
    EventServerRegistration r;
    BSTR bstrClient = nullptr;
    if (m_pProbe &&
        SUCCEEDED(m_pProbe->GetRegistration(nIndex, &r.id, &r.mode, &r.cookie, &bstrClient))) {
        r.client = bstrClient ? bstrClient : L"";
        ::SysFreeString(bstrClient);
    }
    return r;
}

HRESULT CEventServerProbe::Notify(LONG nMethod, LONG nValue, LONG* pNotified)
{
    return m_pProbe ? m_pProbe->Notify(nMethod, nValue, pNotified) : E_POINTER;
}
