// A scripted configuration service for tests: registered in the test process for the service's
// class, it answers what the test says and records what it is asked.
#pragma once

#include "config/ButtonConfigService.h"

#include <map>
#include <string>
#include <vector>

class CScriptedConfig : public IButtonConfig, public IClassFactory
{
public:
    // IUnknown, shared by both faces: one static object.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IClassFactory)
            *ppv = static_cast<IClassFactory*>(this);
        else if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IButtonConfig)
            *ppv = static_cast<IButtonConfig*>(this);
        else
            return *ppv = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IClassFactory
    STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** ppv) override
    {
        ++m_nCreated;
        if (m_bFailCreation) return *ppv = nullptr, E_OUTOFMEMORY;
        return QueryInterface(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
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
#define PLACEHOLDER(n) STDMETHODIMP Placeholder##n() override { return E_NOTIMPL; }
    PLACEHOLDER(7) PLACEHOLDER(13) PLACEHOLDER(14) PLACEHOLDER(15) PLACEHOLDER(16) PLACEHOLDER(17)
    PLACEHOLDER(18) PLACEHOLDER(19) PLACEHOLDER(20) PLACEHOLDER(21) PLACEHOLDER(22) PLACEHOLDER(23)
    PLACEHOLDER(24) PLACEHOLDER(25) PLACEHOLDER(26) PLACEHOLDER(27) PLACEHOLDER(28) PLACEHOLDER(29)
    PLACEHOLDER(30) PLACEHOLDER(31) PLACEHOLDER(32) PLACEHOLDER(33) PLACEHOLDER(34) PLACEHOLDER(35)
    PLACEHOLDER(36) PLACEHOLDER(37) PLACEHOLDER(38) PLACEHOLDER(39) PLACEHOLDER(40) PLACEHOLDER(41)
    PLACEHOLDER(46) PLACEHOLDER(47) PLACEHOLDER(48)
    // clang-format on
#undef PLACEHOLDER

        // Every setter records; every getter answers with m_hrAnswer.
        STDMETHODIMP SetButtonId(BSTR b) override
    {
        return Record(L"SetButtonId", b);
    }
    STDMETHODIMP GetName(BSTR* pb) override
    {
        return Answer(L"GetName", pb);
    }
    STDMETHODIMP SetName(BSTR b) override
    {
        return Record(L"SetName", b);
    }
    STDMETHODIMP GetTarget(BSTR* pb) override
    {
        return Answer(L"GetTarget", pb);
    }
    STDMETHODIMP SetTarget(BSTR b) override
    {
        return Record(L"SetTarget", b);
    }
    STDMETHODIMP AddScheme(BSTR b) override
    {
        return Record(L"AddScheme", b);
    }
    STDMETHODIMP GetCurrentScheme(BSTR* pb) override
    {
        return Answer(L"GetCurrentScheme", pb);
    }
    STDMETHODIMP SelectScheme(BSTR b) override
    {
        return Record(L"SelectScheme", b);
    }
    STDMETHODIMP GetSchemeList(BSTR* pb) override
    {
        return Answer(L"GetSchemeList", pb);
    }
    STDMETHODIMP RemoveScheme(BSTR b) override
    {
        return Record(L"RemoveScheme", b);
    }
    STDMETHODIMP GetLockState(BSTR* pb) override
    {
        return Answer(L"GetLockState", pb);
    }
    STDMETHODIMP SetLockState(BSTR b) override
    {
        return Record(L"SetLockState", b);
    }
    STDMETHODIMP GetTitle(BSTR* pb) override
    {
        return Answer(L"GetTitle", pb);
    }
    STDMETHODIMP SetTitle(BSTR b) override
    {
        return Record(L"SetTitle", b);
    }
    STDMETHODIMP GetButtonList(BSTR* pb) override
    {
        return Answer(L"GetButtonList", pb);
    }

    HRESULT Record(LPCWSTR pszMethod, BSTR b)
    {
        m_calls.push_back(std::wstring(pszMethod) + L"(" + (b ? b : L"") + L")");
        return m_hrAnswer;
    }
    HRESULT Answer(LPCWSTR pszMethod, BSTR* pb)
    {
        const auto it = m_answers.find(pszMethod);
        LPCWSTR pszAnswer = it != m_answers.end() ? it->second.c_str() : m_pszAnswer;
        *pb = pszAnswer ? ::SysAllocString(pszAnswer) : nullptr;
        return m_hrAnswer;
    }

    int m_nCreated = 0;
    bool m_bFailCreation = false;
    HRESULT m_hrAnswer = S_OK;
    LPCWSTR m_pszAnswer = L"";                      // every getter's answer (null: no string)
    std::map<std::wstring, std::wstring> m_answers; // a getter's own answer, by method name
    std::vector<std::wstring> m_calls;
};

// Registers the scripted service for the service's class while it lives.
class CScriptedConfigRegistration
{
public:
    explicit CScriptedConfigRegistration(CScriptedConfig& scripted)
    {
        ::CoRegisterClassObject(CLSID_ButtonConfig, static_cast<IClassFactory*>(&scripted),
                                CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_dwCookie);
    }
    ~CScriptedConfigRegistration() { ::CoRevokeClassObject(m_dwCookie); }
    CScriptedConfigRegistration(const CScriptedConfigRegistration&) = delete;
    CScriptedConfigRegistration& operator=(const CScriptedConfigRegistration&) = delete;
    DWORD m_dwCookie = 0;
};
