// The button configuration service stand-in: an in-process COM server keeping every scheme's
// button settings in the registry, under HKCU\Software\Kivora Stand-ins\Button Configuration:
//   "Buttons"  REG_SZ        the button list, ids separated by ","
//   "Schemes"  REG_MULTI_SZ  the stored scheme names, in the order they were added
//   "Current"  REG_SZ        the current scheme
//   Settings\<button id>     values "<scheme>:Name", "<scheme>:Title", "<scheme>:Target",
//                            "<scheme>:Lock" (registry value names ignore case, as the service
//                            does)
// On first use it seeds the button list and the default scheme "QUELDA" from ButtonDefaults.txt
// beside the DLL (format: README). Every instance reads and writes that store directly, so what
// one instance writes the next one reads.
//
// Answers for what it does not know: a getter before SetButtonId fails with E_UNEXPECTED and no
// string; a value never stored reads as "" with S_FALSE; a setter before SetButtonId fails with
// E_UNEXPECTED and stores nothing. Any scheme may be selected and written, listed or not.
//
// Faults for tests come from the value "Faults" under HKCU\Software\Kivora Stand-ins\Button
// Configuration Faults, read at each call (words separated by blanks):
//   fail       every call fails with E_FAIL: getters give no string, setters store nothing
//   null       getters succeed with a null string
//   huge       getters answer their value filled up to 100,000 characters
//   slow=MS    every call takes that many milliseconds more
//   failafter  the name, title, target and lock calls do their work, then report E_FAIL
//   nocurrent  GetCurrentScheme answers an empty name, as a service that lost its current scheme
//   refuse     the class object makes no instance (E_OUTOFMEMORY)
//   log        each call is appended to the value "Calls" beside "Faults", a line each:
//              "SetTarget(http://x/)", "CreateInstance()" (arguments cut at 100 characters)
// While a benchmark holds its stamps section, each call notes its moment there.
#include "../BenchStamps.h"

#include <windows.h>
#include <olectl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// {BE65CB0E-7D55-11D2-A8A9-444553540000}
const CLSID CLSID_ButtonConfig = {
    0xbe65cb0e, 0x7d55, 0x11d2, {0xa8, 0xa9, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {BE65CB0D-7D55-11D2-A8A9-444553540000}
const IID IID_IButtonConfig = {
    0xbe65cb0d, 0x7d55, 0x11d2, {0xa8, 0xa9, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const WCHAR kClsidKey[] = L"Software\\Classes\\CLSID\\{BE65CB0E-7D55-11D2-A8A9-444553540000}";
const WCHAR kStoreKey[] = L"Software\\Kivora Stand-ins\\Button Configuration";
const WCHAR kDefaultScheme[] = L"QUELDA";

HMODULE g_module = nullptr;
LONG g_locks = 0; // live objects and server locks

using std::wstring;

// The store's key, created on demand unless only read; closed by the caller.
HKEY OpenStore(LPCWSTR subKey = nullptr, bool create = true)
{
    wstring path = kStoreKey;
    if (subKey) path += wstring(L"\\") + subKey;
    HKEY key = nullptr;
    const LONG result =
        create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
               : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

bool ReadString(HKEY key, const wstring& name, wstring& value)
{
    DWORD type = 0, cb = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &cb) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_MULTI_SZ))
        return false;
    std::vector<WCHAR> buffer(cb / sizeof(WCHAR) + 2, L'\0');
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &cb) != ERROR_SUCCESS)
        return false;
    value.assign(buffer.data(), cb / sizeof(WCHAR));
    if (type == REG_SZ) value = value.c_str(); // up to the first terminator
    return true;
}

void WriteString(HKEY key, const wstring& name, const wstring& value, DWORD type = REG_SZ)
{
    RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
}

std::vector<wstring> ReadSchemes(HKEY store)
{
    std::vector<wstring> schemes;
    wstring multi;
    if (!ReadString(store, L"Schemes", multi)) return schemes;
    for (size_t start = 0; start < multi.size();) {
        const size_t end = multi.find(L'\0', start);
        const wstring name =
            multi.substr(start, end == wstring::npos ? wstring::npos : end - start);
        if (name.empty()) break;
        schemes.push_back(name);
        if (end == wstring::npos) break;
        start = end + 1;
    }
    return schemes;
}

void WriteSchemes(HKEY store, const std::vector<wstring>& schemes)
{
    wstring multi;
    for (const wstring& name : schemes)
        multi += name + L'\0';
    multi += L'\0';
    RegSetValueExW(store, L"Schemes", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                   static_cast<DWORD>(multi.size() * sizeof(WCHAR)));
}

bool SameName(const wstring& a, const wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<wstring> Split(const wstring& text, WCHAR separator)
{
    std::vector<wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == wstring::npos ? wstring::npos : end - start));
        if (end == wstring::npos) return parts;
        start = end + 1;
    }
}

// The first use of the store: the button list and the default scheme from the defaults file.
// Lines: "buttons=<id>,<id>,..." and "<id>|<name>|<title>|<target>|<lock>"; "#" starts a comment.
void SeedStore()
{
    HKEY store = OpenStore();
    if (!store) return;
    wstring existing;
    if (ReadString(store, L"Buttons", existing)) {
        RegCloseKey(store);
        return;
    }
    WCHAR path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"ButtonDefaults.txt";
    std::string bytes;
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(handle, chunk, sizeof(chunk), &read, nullptr) && read > 0)
            bytes.append(chunk, read);
        CloseHandle(handle);
    }
    wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), &text[0],
                                                        static_cast<int>(text.size()))));
    wstring buttons;
    for (wstring line : Split(text, L'\n')) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;
        if (line.compare(0, 8, L"buttons=") == 0) {
            buttons = line.substr(8);
            continue;
        }
        const std::vector<wstring> fields = Split(line, L'|');
        if (fields.size() != 5) continue;
        HKEY settings = OpenStore((L"Settings\\" + fields[0]).c_str());
        if (!settings) continue;
        const wstring prefix = wstring(kDefaultScheme) + L":";
        WriteString(settings, prefix + L"Name", fields[1]);
        WriteString(settings, prefix + L"Title", fields[2]);
        WriteString(settings, prefix + L"Target", fields[3]);
        WriteString(settings, prefix + L"Lock", fields[4]);
        RegCloseKey(settings);
    }
    WriteSchemes(store, {kDefaultScheme});
    WriteString(store, L"Current", kDefaultScheme);
    WriteString(store, L"Buttons", buttons);
    RegCloseKey(store);
}

wstring CurrentScheme()
{
    wstring current = kDefaultScheme;
    if (HKEY store = OpenStore()) {
        ReadString(store, L"Current", current);
        RegCloseKey(store);
    }
    return current;
}

const WCHAR kFaultsKey[] = L"Software\\Kivora Stand-ins\\Button Configuration Faults";

struct Faults
{
    bool fail = false, null = false, huge = false, failAfter = false;
};

// The test's fault words, each between blanks.
wstring FaultWords()
{
    WCHAR text[256] = {};
    DWORD cb = sizeof(text) - sizeof(WCHAR);
    RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults", RRF_RT_REG_SZ, nullptr, text, &cb);
    return L" " + wstring(text) + L" ";
}

// The test's faults; a slow call is made slow here.
Faults ReadFaults()
{
    const wstring words = FaultWords();
    Faults faults;
    faults.fail = words.find(L" fail ") != wstring::npos;
    faults.null = words.find(L" null ") != wstring::npos;
    faults.huge = words.find(L" huge ") != wstring::npos;
    faults.failAfter = words.find(L" failafter ") != wstring::npos;
    const size_t slow = words.find(L" slow=");
    if (slow != wstring::npos) Sleep(wcstoul(words.c_str() + slow + 6, nullptr, 10));
    return faults;
}

// Appends the call to the log, when the test keeps one.
void Log(const wstring& method, const wchar_t* argument = L"")
{
    NoteBenchStamp(kStampService);
    if (FaultWords().find(L" log ") == wstring::npos) return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kFaultsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    wstring calls;
    ReadString(key, L"Calls", calls);
    WriteString(key, L"Calls",
                calls + method + L"(" + wstring(argument ? argument : L"").substr(0, 100) + L")\n");
    RegCloseKey(key);
}

HRESULT ReturnString(const wstring& value, BSTR* out, HRESULT hr = S_OK)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    const Faults faults = ReadFaults();
    if (faults.fail) return E_FAIL;
    if (faults.null) return S_OK;
    const size_t length = faults.huge ? std::max<size_t>(value.size(), 100000) : value.size();
    *out = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!*out) return E_OUTOFMEMORY;
    std::fill(std::copy(value.begin(), value.end(), *out), *out + length, L'x');
    return faults.failAfter ? E_FAIL : hr;
}

// Whether a call that changes something fails instead.
bool Failing()
{
    return ReadFaults().fail;
}

class Config final : public IDispatch
{
public:
    Config()
    {
        InterlockedIncrement(&g_locks);
        SeedStore();
    }
    // Not virtual (the class is final): a virtual destructor would take places in the table.
    ~Config() { InterlockedDecrement(&g_locks); }

    // IUnknown: 0-2
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IButtonConfig)
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return refs;
    }

    // IDispatch: 3-6, present for their places only.
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

    // clang-format off
    // The service's own methods, each at its place in the table; the others are placeholders.
    virtual HRESULT STDMETHODCALLTYPE Reserved7() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetButtonId(BSTR id) // 8
    {
        Log(L"SetButtonId", id);
        if (Failing()) return E_FAIL;
        m_id = id ? id : L"";
        m_bound = true;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* out) { return Get(L"Name", out); }    // 9
    virtual HRESULT STDMETHODCALLTYPE SetName(BSTR value) { return Set(L"Name", value); } // 10
    virtual HRESULT STDMETHODCALLTYPE GetTarget(BSTR* out) { return Get(L"Target", out); }
    virtual HRESULT STDMETHODCALLTYPE SetTarget(BSTR value) { return Set(L"Target", value); }
#define RESERVED(n) virtual HRESULT STDMETHODCALLTYPE Reserved##n() { return E_NOTIMPL; }
    RESERVED(13) RESERVED(14) RESERVED(15) RESERVED(16) RESERVED(17) RESERVED(18) RESERVED(19)
    RESERVED(20) RESERVED(21) RESERVED(22) RESERVED(23) RESERVED(24) RESERVED(25) RESERVED(26)
    RESERVED(27) RESERVED(28) RESERVED(29) RESERVED(30) RESERVED(31) RESERVED(32) RESERVED(33)
    RESERVED(34) RESERVED(35) RESERVED(36) RESERVED(37) RESERVED(38) RESERVED(39) RESERVED(40)
    RESERVED(41)
    virtual HRESULT STDMETHODCALLTYPE AddScheme(BSTR name) // 42: appended, once
    {
        Log(L"AddScheme", name);
        const wstring scheme = name ? name : L"";
        if (Failing()) return E_FAIL;
        if (scheme.empty()) return E_INVALIDARG;
        HKEY store = OpenStore();
        if (!store) return E_FAIL;
        std::vector<wstring> schemes = ReadSchemes(store);
        HRESULT hr = S_FALSE;
        bool known = false;
        for (const wstring& s : schemes)
            known = known || SameName(s, scheme);
        if (!known) {
            schemes.push_back(scheme);
            WriteSchemes(store, schemes);
            hr = S_OK;
        }
        RegCloseKey(store);
        return hr;
    }
    virtual HRESULT STDMETHODCALLTYPE GetCurrentScheme(BSTR* out) // 43
    {
        Log(L"GetCurrentScheme");
        const bool lost = FaultWords().find(L" nocurrent ") != wstring::npos;
        return ReturnString(lost ? wstring() : CurrentScheme(), out);
    }
    virtual HRESULT STDMETHODCALLTYPE SelectScheme(BSTR name) // 44: listed spelling wins
    {
        Log(L"SelectScheme", name);
        wstring scheme = name ? name : L"";
        if (Failing()) return E_FAIL;
        HKEY store = OpenStore();
        if (!store) return E_FAIL;
        for (const wstring& s : ReadSchemes(store))
            if (SameName(s, scheme)) scheme = s;
        WriteString(store, L"Current", scheme);
        RegCloseKey(store);
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE GetSchemeList(BSTR* out) // 45: "a,b,c,"
    {
        Log(L"GetSchemeList");
        wstring list;
        if (HKEY store = OpenStore()) {
            for (const wstring& s : ReadSchemes(store))
                list += s + L",";
            RegCloseKey(store);
        }
        return ReturnString(list, out);
    }
    RESERVED(46) RESERVED(47) RESERVED(48)
#undef RESERVED
    // 49: this button forgets the scheme; the list forgets it once no button of the list has it.
    virtual HRESULT STDMETHODCALLTYPE RemoveScheme(BSTR name)
    {
        Log(L"RemoveScheme", name);
        if (Failing()) return E_FAIL;
        if (!m_bound) return E_UNEXPECTED;
        const wstring scheme = name ? name : L"";
        if (HKEY settings = OpenStore((L"Settings\\" + m_id).c_str(), false)) {
            for (LPCWSTR field : {L"Name", L"Title", L"Target", L"Lock"})
                RegDeleteValueW(settings, (scheme + L":" + field).c_str());
            RegCloseKey(settings);
        }
        HKEY store = OpenStore();
        if (!store) return E_FAIL;
        wstring buttons;
        ReadString(store, L"Buttons", buttons);
        bool held = false;
        for (const wstring& id : Split(buttons, L',')) {
            HKEY settings = nullptr;
            if (id.empty() || RegOpenKeyExW(store, (L"Settings\\" + id).c_str(), 0, KEY_READ,
                                            &settings) != ERROR_SUCCESS)
                continue;
            for (LPCWSTR field : {L"Name", L"Title", L"Target", L"Lock"})
                held = held || RegQueryValueExW(settings, (scheme + L":" + field).c_str(), nullptr,
                                                nullptr, nullptr, nullptr) == ERROR_SUCCESS;
            RegCloseKey(settings);
        }
        if (!held) {
            std::vector<wstring> schemes = ReadSchemes(store);
            for (size_t i = schemes.size(); i-- > 0;)
                if (SameName(schemes[i], scheme)) schemes.erase(schemes.begin() + i);
            WriteSchemes(store, schemes);
        }
        RegCloseKey(store);
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE GetLockState(BSTR* out)
    {
        return Get(L"Lock", out);
    } // 50
    virtual HRESULT STDMETHODCALLTYPE SetLockState(BSTR value)
    {
        return Set(L"Lock", value);
    }
    virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* out)
    {
        return Get(L"Title", out);
    } // 52
    virtual HRESULT STDMETHODCALLTYPE SetTitle(BSTR value)
    {
        return Set(L"Title", value);
    }
    virtual HRESULT STDMETHODCALLTYPE GetButtonList(BSTR* out) // 54
    {
        Log(L"GetButtonList");
        wstring buttons;
        if (HKEY store = OpenStore()) {
            ReadString(store, L"Buttons", buttons);
            RegCloseKey(store);
        }
        return ReturnString(buttons, out);
    }

    // clang-format on

private:
    HRESULT Get(LPCWSTR field, BSTR* out)
    {
        Log(wstring(L"Get") + field + (wcscmp(field, L"Lock") ? L"" : L"State"));
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!m_bound) return ReadFaults().fail ? E_FAIL : E_UNEXPECTED;
        wstring value;
        bool found = false;
        if (HKEY settings = OpenStore((L"Settings\\" + m_id).c_str(), false)) {
            found = ReadString(settings, CurrentScheme() + L":" + field, value);
            RegCloseKey(settings);
        }
        return ReturnString(value, out, found ? S_OK : S_FALSE);
    }
    HRESULT Set(LPCWSTR field, BSTR value)
    {
        Log(wstring(L"Set") + field + (wcscmp(field, L"Lock") ? L"" : L"State"), value);
        const Faults faults = ReadFaults();
        if (faults.fail) return E_FAIL;
        if (!m_bound) return E_UNEXPECTED;
        HKEY settings = OpenStore((L"Settings\\" + m_id).c_str());
        if (!settings) return E_FAIL;
        WriteString(settings, CurrentScheme() + L":" + field,
                    value ? wstring(value, SysStringLen(value)).c_str() : L"");
        RegCloseKey(settings);
        return faults.failAfter ? E_FAIL : S_OK;
    }

    LONG m_refs = 0;
    bool m_bound = false;
    wstring m_id;
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
        Log(L"CreateInstance");
        if (outer) return CLASS_E_NOAGGREGATION;
        if (FaultWords().find(L" refuse ") != wstring::npos) return E_OUTOFMEMORY;
        Config* config = new (std::nothrow) Config;
        if (!config) return E_OUTOFMEMORY;
        config->AddRef();
        const HRESULT hr = config->QueryInterface(iid, out);
        config->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    static Factory factory;
    if (clsid != CLSID_ButtonConfig) return *out = nullptr, CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}

// As the installer does: under HKLM, since Wine's COM ignores classes under HKCU.
STDAPI DllRegisterServer()
{
    WCHAR path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
    const wstring key = wstring(kClsidKey) + L"\\InprocServer32";
    HKEY server = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &server,
                        nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    WriteString(server, L"", path);
    WriteString(server, L"ThreadingModel", L"Apartment");
    RegCloseKey(server);
    return S_OK;
}

STDAPI DllUnregisterServer()
{
    const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
