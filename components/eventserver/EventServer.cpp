// The button event server stand-in: a COM local server with a connection point for button
// notifications and a client registry. Every object of the process shares one state, so a test
// connecting on its own sees what the program registered. Faults for tests come from the value
// "Faults" under HKCU\Software\Kivora Stand-ins\Event Server, read at each call:
//   container      the object has no connection point container
//   point          the container has no button event connection point
//   advise=N       the N-th Advise since the process started (or was reset) fails
//   register=A,B   RegisterButtonClient fails for these button ids
//   slow=MS        RegisterButtonClient takes that many milliseconds
//   die=ID         the process ends in the middle of registering that id
// While a benchmark holds its stamps section, activations, Advises and registrations note their
// moments there.
#include "../BenchStamps.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "ButtonEventServer.h"

namespace {

// {40E71633-5F96-11D1-B449-00805F268A3A}
const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
const WCHAR kClsidKey[] = L"Software\\Classes\\CLSID\\{40E71633-5F96-11D1-B449-00805F268A3A}";
const WCHAR kFaultsKey[] = L"Software\\Kivora Stand-ins\\Event Server";

struct Registration
{
    std::wstring client;
    LONG id, mode, cookie;
};

// The process-wide state every object serves.
LONG g_objects = 0; // live objects and server locks; the process ends when it drops back to 0
DWORD g_mainThread = 0;
DWORD g_registration = 0; // the class object's, while activations may come here
std::vector<Registration> g_registrations;
std::map<DWORD, IButtonEvents*> g_sinks;
DWORD g_lastCookie = 0;
LONG g_advises = 0;
LONG g_registerCalls = 0;

// The class object goes with the last object, before another activation is dispatched here: COM
// then starts a new server for it instead of handing it to this one, which is ending.
void ObjectGone()
{
    if (InterlockedDecrement(&g_objects) != 0) return;
    CoRevokeClassObject(g_registration);
    g_registration = 0;
    PostThreadMessageW(g_mainThread, WM_QUIT, 0, 0);
}

std::wstring ReadFaults()
{
    WCHAR sz[512] = {};
    DWORD cb = sizeof(sz) - sizeof(WCHAR);
    if (RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults", RRF_RT_REG_SZ, nullptr, sz, &cb) !=
        ERROR_SUCCESS)
        return std::wstring();
    return L" " + std::wstring(sz) + L" ";
}

bool HasFault(const wchar_t* name)
{
    return ReadFaults().find(L" " + std::wstring(name) + L" ") != std::wstring::npos;
}

// The numbers after "name=" (comma-separated); empty when the fault is not set.
std::vector<LONG> FaultNumbers(const wchar_t* name)
{
    std::vector<LONG> numbers;
    const std::wstring faults = ReadFaults();
    const size_t start = faults.find(L" " + std::wstring(name) + L"=");
    if (start == std::wstring::npos) return numbers;
    const wchar_t* p = faults.c_str() + start + wcslen(name) + 2;
    while (*p >= L'0' && *p <= L'9') {
        wchar_t* end = nullptr;
        numbers.push_back(wcstol(p, &end, 10));
        p = *end == L',' ? end + 1 : end;
    }
    return numbers;
}

bool Contains(const std::vector<LONG>& numbers, LONG n)
{
    for (LONG x : numbers)
        if (x == n) return true;
    return false;
}

void Reset()
{
    for (auto& sink : g_sinks)
        sink.second->Release();
    g_sinks.clear();
    g_registrations.clear();
    g_advises = 0;
    g_registerCalls = 0;
}

class Server : public IButtonEventServer,
               public IConnectionPointContainer,
               public IConnectionPoint,
               public IButtonEventServerProbe
{
public:
    Server() { InterlockedIncrement(&g_objects); }
    virtual ~Server() = default;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IButtonEventServer)
            *out = static_cast<IButtonEventServer*>(this);
        else if (iid == IID_IConnectionPointContainer && !HasFault(L"container"))
            *out = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IConnectionPoint)
            *out = static_cast<IConnectionPoint*>(this);
        else if (iid == IID_IButtonEventServerProbe)
            *out = static_cast<IButtonEventServerProbe*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
            ObjectGone();
        }
        return refs;
    }

    // IDispatch: present for its places in the method table only.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        return E_NOTIMPL;
    }

    // IButtonEventServer
    STDMETHODIMP RegisterButtonClient(const wchar_t* client, const LONG* ids, const LONG* modes,
                                      LONG count, LONG cookie) override
    {
        if (!client || count < 0 || (count > 0 && (!ids || !modes))) return E_INVALIDARG;
        for (LONG ms : FaultNumbers(L"slow"))
            Sleep(static_cast<DWORD>(ms));
        const std::vector<LONG> failing = FaultNumbers(L"register");
        const std::vector<LONG> fatal = FaultNumbers(L"die");
        for (LONG i = 0; i < count; ++i) {
            if (Contains(fatal, ids[i])) ExitProcess(3);
            if (Contains(failing, ids[i])) return E_FAIL;
        }
        for (LONG i = 0; i < count; ++i)
            g_registrations.push_back({client, ids[i], modes[i], cookie});
        ++g_registerCalls;
        NoteBenchStamp(kStampRegister);
        return S_OK;
    }
    STDMETHODIMP UnregisterButtonClient(LONG cookie) override
    {
        const size_t before = g_registrations.size();
        for (size_t i = g_registrations.size(); i-- > 0;)
            if (g_registrations[i].cookie == cookie)
                g_registrations.erase(g_registrations.begin() + static_cast<ptrdiff_t>(i));
        return g_registrations.size() < before ? S_OK : S_FALSE;
    }

    // IConnectionPointContainer: one connection point, for IButtonEvents.
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        *point = nullptr;
        if (iid != IID_IButtonEvents || HasFault(L"point")) return CONNECT_E_NOCONNECTION;
        *point = this;
        AddRef();
        return S_OK;
    }

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override
    {
        return *iid = IID_IButtonEvents, S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        *container = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override
    {
        *cookie = 0;
        NoteBenchStamp(kStampAdvise);
        if (Contains(FaultNumbers(L"advise"), ++g_advises)) return CONNECT_E_ADVISELIMIT;
        IButtonEvents* events = nullptr;
        if (!sink ||
            FAILED(sink->QueryInterface(IID_IButtonEvents, reinterpret_cast<void**>(&events))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++g_lastCookie;
        g_sinks[*cookie] = events;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override
    {
        const auto found = g_sinks.find(cookie);
        if (found == g_sinks.end()) return CONNECT_E_NOCONNECTION;
        IButtonEvents* events = found->second;
        g_sinks.erase(found);
        events->Release();
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // IButtonEventServerProbe
    STDMETHODIMP Reset() override
    {
        ::Reset();
        return S_OK;
    }
    STDMETHODIMP GetCounts(LONG* registrations, LONG* connections, LONG* registerCalls) override
    {
        *registrations = static_cast<LONG>(g_registrations.size());
        *connections = static_cast<LONG>(g_sinks.size());
        *registerCalls = g_registerCalls;
        return S_OK;
    }
    STDMETHODIMP GetRegistration(LONG index, LONG* id, LONG* mode, LONG* cookie,
                                 BSTR* client) override
    {
        *id = *mode = *cookie = 0;
        *client = nullptr;
        if (index < 0 || static_cast<size_t>(index) >= g_registrations.size()) return E_INVALIDARG;
        const Registration& r = g_registrations[static_cast<size_t>(index)];
        *id = r.id;
        *mode = r.mode;
        *cookie = r.cookie;
        *client = SysAllocString(r.client.c_str());
        return S_OK;
    }
    STDMETHODIMP Notify(LONG method, LONG value, LONG* notified) override
    {
        *notified = 0;
        if (method != 1 && method != 2) return E_INVALIDARG;
        HRESULT hrFirst = S_OK;
        // A sink may unsubscribe while it is called: work on a copy.
        std::vector<IButtonEvents*> sinks;
        for (auto& sink : g_sinks) {
            sink.second->AddRef();
            sinks.push_back(sink.second);
        }
        for (IButtonEvents* sink : sinks) {
            const HRESULT hr = method == 1 ? sink->OnNotify1(value) : sink->OnNotify2(value);
            if (hr != S_OK && hrFirst == S_OK) hrFirst = hr;
            ++*notified;
            sink->Release();
        }
        return hrFirst;
    }

private:
    LONG m_refs = 0;
};

class Factory : public IClassFactory
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return *out = nullptr, E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; } // a static object
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        NoteBenchStamp(kStampActivation);
        if (outer) return CLASS_E_NOAGGREGATION;
        Server* server = new Server;
        server->AddRef();
        const HRESULT hr = static_cast<IButtonEventServer*>(server)->QueryInterface(iid, out);
        server->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_objects);
        else
            ObjectGone();
        return S_OK;
    }
};

// As the installer does: the local server's path under HKLM (Wine's COM ignores HKCU classes).
int Register(bool bAdd)
{
    if (!bAdd) {
        const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : 1;
    }
    WCHAR path[MAX_PATH + 2] = L"\"";
    const DWORD length = GetModuleFileNameW(nullptr, path + 1, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    wcscat(path, L"\"");
    const std::wstring key = std::wstring(kClsidKey) + L"\\LocalServer32";
    const LONG status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, path,
                                        static_cast<DWORD>((wcslen(path) + 1) * sizeof(WCHAR)));
    return status == ERROR_SUCCESS ? 0 : 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    // Libraries only from the system folder and this program's own, never the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (wcsstr(commandLine, L"UnregServer")) return Register(false);
    if (wcsstr(commandLine, L"RegServer")) return Register(true);

    g_mainThread = GetCurrentThreadId();
    if (FAILED(CoInitialize(nullptr))) return 1;
    static Factory factory;
    const HRESULT hr = CoRegisterClassObject(CLSID_ButtonEventServer, &factory, CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &g_registration);
    if (SUCCEEDED(hr)) {
        // Runs until the last object is released; COM's calls arrive through this loop.
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        if (g_registration) CoRevokeClassObject(g_registration);
        Reset();
    }
    CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
