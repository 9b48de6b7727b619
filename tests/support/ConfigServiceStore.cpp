#include "ConfigServiceStore.h"

#include "Session.h"

namespace {

const WCHAR kFaultsKey[] = L"Software\\Kivora Stand-ins\\Button Configuration Faults";
const WCHAR kServerKey[] =
    L"Software\\Classes\\CLSID\\{BE65CB0E-7D55-11D2-A8A9-444553540000}\\InprocServer32";

} // namespace

std::wstring CConfigServiceStore::ServicePath()
{
    WCHAR szPath[MAX_PATH] = {};
    DWORD cb = sizeof(szPath) - sizeof(WCHAR);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, szPath, &cb);
    return szPath;
}

CConfigServiceStore::CConfigServiceStore(const char* pszDefaults)
{
    SeedStore(m_undo, pszDefaults);
}

CConfigServiceStore::~CConfigServiceStore()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
}

void CConfigServiceStore::SetFaults(const std::wstring& words)
{
    m_undo.SetValue(HKEY_CURRENT_USER, kFaultsKey, L"Faults", REG_SZ, Bytes(words));
    TakeCalls();
}

std::wstring CConfigServiceStore::TakeCalls()
{
    m_undo.Value(HKEY_CURRENT_USER, kFaultsKey, L"Calls");
    DWORD cb = 0;
    ::RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls", RRF_RT_REG_SZ, nullptr, nullptr, &cb);
    std::wstring calls(cb / sizeof(WCHAR) + 1, L'\0');
    ::RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls", RRF_RT_REG_SZ, nullptr, &calls[0], &cb);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls");
    return calls.c_str();
}
