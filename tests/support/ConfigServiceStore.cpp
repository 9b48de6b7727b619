#include "ConfigServiceStore.h"

namespace {

const WCHAR kStoreKey[] = L"Software\\Kivora Stand-ins\\Button Configuration";
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
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
    if (pszDefaults) {
        const std::wstring service = ServicePath();
        m_undo.WriteFile(service.substr(0, service.find_last_of(L'\\') + 1) + L"ButtonDefaults.txt",
                         pszDefaults);
    }
    // The stand-in seeds an empty store when it is made.
    const HRESULT hrInit = ::CoInitialize(nullptr);
    CLSID clsid = {};
    ::CLSIDFromString(L"{BE65CB0E-7D55-11D2-A8A9-444553540000}", &clsid);
    IUnknown* pService = nullptr;
    if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&pService))))
        pService->Release();
    if (SUCCEEDED(hrInit)) ::CoUninitialize();
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
