#include "EventServerProbe.h"

#include "ButtonEventServer.h"

namespace {

const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
const WCHAR kFaultsKey[] = L"Software\\Kivora Stand-ins\\Event Server";
const WCHAR kServerKey[] =
    L"Software\\Classes\\CLSID\\{40E71633-5F96-11D1-B449-00805F268A3A}\\LocalServer32";

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

CEventServerFaults::CEventServerFaults(LPCWSTR lpszFaults)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults", REG_SZ, lpszFaults,
                      static_cast<DWORD>((wcslen(lpszFaults) + 1) * sizeof(WCHAR)));
}

CEventServerFaults::~CEventServerFaults()
{
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults");
}

CEventServerUnregistered::CEventServerUnregistered()
{
    WCHAR szPath[MAX_PATH + 8] = {};
    DWORD cb = sizeof(szPath) - sizeof(WCHAR);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, szPath,
                       &cb) == ERROR_SUCCESS)
        m_strServerPath = szPath;
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kServerKey);
}

CEventServerUnregistered::~CEventServerUnregistered()
{
    if (!m_strServerPath.empty())
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, REG_SZ, m_strServerPath.c_str(),
                          static_cast<DWORD>((m_strServerPath.size() + 1) * sizeof(WCHAR)));
}
