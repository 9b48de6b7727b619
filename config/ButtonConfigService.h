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

#define BUTTONCONFIG_PLACEHOLDER(n) virtual HRESULT STDMETHODCALLTYPE Placeholder##n() = 0;

struct IButtonConfig : public IDispatch
{
    BUTTONCONFIG_PLACEHOLDER(7)
    virtual HRESULT STDMETHODCALLTYPE SetButtonId(BSTR bstrId) = 0; // 8
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* pbstrName) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetName(BSTR bstrName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTarget(BSTR* pbstrTarget) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTarget(BSTR bstrTarget) = 0; // 12
    BUTTONCONFIG_PLACEHOLDER(13)
    BUTTONCONFIG_PLACEHOLDER(14) BUTTONCONFIG_PLACEHOLDER(15) BUTTONCONFIG_PLACEHOLDER(
        16) BUTTONCONFIG_PLACEHOLDER(17) BUTTONCONFIG_PLACEHOLDER(18) BUTTONCONFIG_PLACEHOLDER(19)
        BUTTONCONFIG_PLACEHOLDER(20) BUTTONCONFIG_PLACEHOLDER(21) BUTTONCONFIG_PLACEHOLDER(22)
            BUTTONCONFIG_PLACEHOLDER(23) BUTTONCONFIG_PLACEHOLDER(24) BUTTONCONFIG_PLACEHOLDER(25)
                BUTTONCONFIG_PLACEHOLDER(26) BUTTONCONFIG_PLACEHOLDER(27)
                    BUTTONCONFIG_PLACEHOLDER(28) BUTTONCONFIG_PLACEHOLDER(29)
                        BUTTONCONFIG_PLACEHOLDER(30) BUTTONCONFIG_PLACEHOLDER(31)
                            BUTTONCONFIG_PLACEHOLDER(32) BUTTONCONFIG_PLACEHOLDER(33)
                                BUTTONCONFIG_PLACEHOLDER(34) BUTTONCONFIG_PLACEHOLDER(35)
                                    BUTTONCONFIG_PLACEHOLDER(36) BUTTONCONFIG_PLACEHOLDER(37)
                                        BUTTONCONFIG_PLACEHOLDER(38) BUTTONCONFIG_PLACEHOLDER(39)
                                            BUTTONCONFIG_PLACEHOLDER(40)
                                                BUTTONCONFIG_PLACEHOLDER(41) virtual HRESULT
        STDMETHODCALLTYPE AddScheme(BSTR bstrScheme) = 0; // 42
    virtual HRESULT STDMETHODCALLTYPE GetCurrentScheme(BSTR* pbstrScheme) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectScheme(BSTR bstrScheme) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSchemeList(BSTR* pbstrList) = 0; // 45
    BUTTONCONFIG_PLACEHOLDER(46)
    BUTTONCONFIG_PLACEHOLDER(47) BUTTONCONFIG_PLACEHOLDER(48) virtual HRESULT STDMETHODCALLTYPE
        RemoveScheme(BSTR bstrScheme) = 0; // 49
    virtual HRESULT STDMETHODCALLTYPE GetLockState(BSTR* pbstrLock) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLockState(BSTR bstrLock) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* pbstrTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTitle(BSTR bstrTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetButtonList(BSTR* pbstrList) = 0; // 54
};

#undef BUTTONCONFIG_PLACEHOLDER
