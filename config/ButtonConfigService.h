// The configuration service's interface as this program calls it: a dual interface whose methods
// the program reaches by their places in the method table (IUnknown's are 0 to 2, IDispatch's 3 to
// 6). Places the program never calls are declared as placeholders to keep the numbering.
#pragma once

#include <windows.h>
#include <ole2.h>

// {BE65CB0E-7D55-11D2-A8A9-444553540000}
inline constexpr CLSID CLSID_ButtonConfig = {
    0xbe65cb0e, 0x7d55, 0x11d2, {0xa8, 0xa9, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {BE65CB0D-7D55-11D2-A8A9-444553540000}
inline constexpr IID IID_IButtonConfig = {
    0xbe65cb0d, 0x7d55, 0x11d2, {0xa8, 0xa9, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

#define PLACEHOLDER(n) virtual HRESULT STDMETHODCALLTYPE Placeholder##n() = 0;

// clang-format off
struct IButtonConfig : public IDispatch
{
    PLACEHOLDER(7)
    virtual HRESULT STDMETHODCALLTYPE SetButtonId(BSTR bstrId) = 0;           // 8
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* pbstrName) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetName(BSTR bstrName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTarget(BSTR* pbstrTarget) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTarget(BSTR bstrTarget) = 0;         // 12
    PLACEHOLDER(13) PLACEHOLDER(14) PLACEHOLDER(15) PLACEHOLDER(16) PLACEHOLDER(17) PLACEHOLDER(18)
    PLACEHOLDER(19) PLACEHOLDER(20) PLACEHOLDER(21) PLACEHOLDER(22) PLACEHOLDER(23) PLACEHOLDER(24)
    PLACEHOLDER(25) PLACEHOLDER(26) PLACEHOLDER(27) PLACEHOLDER(28) PLACEHOLDER(29) PLACEHOLDER(30)
    PLACEHOLDER(31) PLACEHOLDER(32) PLACEHOLDER(33) PLACEHOLDER(34) PLACEHOLDER(35) PLACEHOLDER(36)
    PLACEHOLDER(37) PLACEHOLDER(38) PLACEHOLDER(39) PLACEHOLDER(40) PLACEHOLDER(41)
    virtual HRESULT STDMETHODCALLTYPE AddScheme(BSTR bstrScheme) = 0;         // 42
    virtual HRESULT STDMETHODCALLTYPE GetCurrentScheme(BSTR* pbstrScheme) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectScheme(BSTR bstrScheme) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSchemeList(BSTR* pbstrList) = 0;     // 45
    PLACEHOLDER(46) PLACEHOLDER(47) PLACEHOLDER(48)
    virtual HRESULT STDMETHODCALLTYPE RemoveScheme(BSTR bstrScheme) = 0;      // 49
    virtual HRESULT STDMETHODCALLTYPE GetLockState(BSTR* pbstrLock) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLockState(BSTR bstrLock) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* pbstrTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTitle(BSTR bstrTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetButtonList(BSTR* pbstrList) = 0;     // 54
};
// clang-format on

#undef PLACEHOLDER
