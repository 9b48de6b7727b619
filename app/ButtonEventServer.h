// The button event server's interfaces as this program calls them. The server is a local COM
// server of the button software; calls cross to it through its own proxy/stub DLL.
#pragma once

#include <windows.h>
#include <ole2.h>

// {40E71633-5F96-11D1-B449-00805F268A3A}
inline constexpr CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
// {40E71632-5F96-11D1-B449-00805F268A3A}
inline constexpr IID IID_IButtonEventServer = {
    0x40e71632, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
// {D1C62CD0-6033-11D1-B449-00805F268A3A}
inline constexpr IID IID_IButtonEvents = {
    0xd1c62cd0, 0x6033, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};

// Notifications from the server, implemented by the program's sinks.
struct IButtonEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnNotify1(LONG lValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnNotify2(LONG lValue) = 0;
};

// After IUnknown's three methods and IDispatch's four come the two the program calls.
struct IButtonEventServer : public IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE RegisterButtonClient(const WCHAR* pszClient, const LONG* pIds,
                                                           const LONG* pModes, LONG nCount,
                                                           LONG lCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnregisterButtonClient(LONG lCookie) = 0;
};
